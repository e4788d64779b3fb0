// The main window: the video view in the middle, the mode bar, tool bar,
// results bar, navigation panel and status bar around it, the menus, and the
// pointing workflow from opening a video to saving the project.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QString>

#include "app/UnitBoiteTemps.h"
#include "app/UnitBoiteValeur.h"
#include "app/UnitRecentFiles.h"
#include "measurement/UnitProject.h"

class QAbstractButton;
class QLineEdit;
class QMenu;
class QSlider;
class QToolButton;

namespace mlb {

class TData;
class TOptions;
class TResCalc;
class TVideo;
class TQtMessageBox;

class TMainForm : public QMainWindow, public TProjectHost, public TFileDialogs {
 public:
  // settingsFile: where the settings and the recent files are kept (the
  // user's settings file when empty).
  explicit TMainForm(const QString& settingsFile = QString(), QWidget* parent = nullptr);
  ~TMainForm() override;

  TVideo& View() { return *view_; }
  TData& Data() { return *data_; }
  TResCalc& Results() { return *results_; }
  TOptions& Options() { return *options_; }
  TMRUFiles& Recent() { return recent_; }
  TBoiteValeur& ValueBox() { return valueBox_; }
  TQtMessageBox& MessageBox() { return *messageBox_; }
  // The file dialogs used by the project commands (tests answer them).
  void SetFileDialogs(TFileDialogs* dialogs);
  // A value asked from the user: tests replace the dialog (true when confirmed).
  std::function<bool(TBoiteValeur&)> AskValue;

  // Commands.
  static int FileKind(const QString& path);  // 0 video, 1 project, 2 other
  bool OpenVideoFile(const QString& path);
  bool LoadProjectFile(const QString& path);
  bool SaveProjectFile();
  void CloseVideoFile();
  // The save-first question; opening true for opening, false for closing.
  bool ConfirmDiscardFor(bool opening);
  void StopActivities();
  // The single command-line argument, as given at start.
  void OpenFromCommandLine(const QStringList& arguments);
  // A results button: the checks, then the results window (not yet built).
  bool ResultsCommand(int view);
  void ShowOpenDialog(bool project);

  // Controls by name, for tests and the context menu.
  QToolButton* Button(const QString& name) const;
  QLineEdit* Box(const QString& name) const;
  QSlider* TrackBar() const { return trackBar_; }
  QMenu* Menu(const QString& name) const;
  // Runs the visibility, enabled and checked rules of a menu now.
  void UpdateMenu(QMenu* menu);

  // TProjectHost.
  bool VideoOpened() const override;
  QString VideoFileName() const override;
  bool ConfirmDiscard() override { return ConfirmDiscardFor(true); }
  bool OpenVideo(const QString& path) override;
  void CloseVideo() override { CloseVideoFile(); }
  void ApplyView(int imageNumber, bool transparentMode) override;
  void SetRecentFolder(const QString& folder) override { recent_.Directory = folder; }
  void AddRecentFile(const QString& file) override;
  void ProjectLoaded() override;
  // TFileDialogs.
  QString OpenFileName(const QString& title, const QString& proposedName,
                       const QString& filter) override;
  QString SaveFileName(const QString& title, const QString& proposedPath, const QString& filter,
                       const QString& defaultExtension) override;

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  struct Impl;
  void BuildBars();
  void BuildMenus();
  void BindEvents();
  void ApplySettings();
  void LayoutControls();
  void ApplyVisibility();
  void SetEnabledState(bool a);
  void NavigationRule();
  void ModeChanged();
  void ModeRefused();
  void ToolChanged();
  void ViewToolChanged();
  void PressTool(QToolButton* b);
  void RefreshFrameBox();
  void RefreshMarkBox();
  void RefreshAngleBox();
  void RefreshZoomBox();
  void ScaleDefined();
  bool AskLength(int which);
  bool Ask(TBoiteValeur& box);
  TValueContext Context() const;
  void ShowContextMenu();
  void Repaint();
  bool Quit();

  std::unique_ptr<Impl> d_;
  QString settingsFile_;
  std::unique_ptr<TOptions> options_;
  std::unique_ptr<TQtMessageBox> messageBox_;
  TVideo* view_ = nullptr;
  std::unique_ptr<TData> data_;
  std::unique_ptr<TResCalc> results_;
  std::unique_ptr<TProjectFiles> project_;
  TFileDialogs* dialogs_ = this;
  TMRUFiles recent_;
  TBoiteValeur valueBox_;
  TBoiteTemps timeBox_;
  bool askObjectNames_ = true;
  bool quitting_ = false;
  QSlider* trackBar_ = nullptr;
};

}  // namespace mlb
