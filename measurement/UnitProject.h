// Opening and saving a project as the user does it: the questions, the search
// for a moved video, the messages. The windows it needs are reached through
// two small interfaces so that the steps are tested without a display.
#pragma once

#include <vector>

#include <QString>

#include "measurement/UnitMlb.h"

namespace mlb {

class TData;

// What the project commands need of the main window.
class TProjectHost {
 public:
  virtual ~TProjectHost() = default;
  virtual bool WritingVideo() const { return false; }  // an edited video is being written
  virtual bool VideoOpened() const = 0;
  virtual QString VideoFileName() const = 0;
  // The save-before-continuing question; false when the user cancels.
  virtual bool ConfirmDiscard() { return true; }
  // Opens the video (which resets the measurement); false when it fails.
  virtual bool OpenVideo(const QString& path) = 0;
  virtual void CloseVideo() = 0;
  // Whether the decoding library of the third back end is available (the
  // list of likely causes mentions it otherwise).
  virtual bool CodecLibraryAvailable() const { return true; }
  // [Video]: go to the frame, set the work mode, refresh the screen positions.
  virtual void ApplyView(int imageNumber, bool transparentMode) = 0;
  // [Montage] and [Formules]/[Record] belong to the edit model and the formula set.
  virtual void ApplyMontage(const std::vector<bool>& /*visible*/,
                            const std::vector<int>& /*shifts*/) {}
  virtual void CaptureMontage(std::vector<bool>& /*visible*/, std::vector<int>& /*shifts*/) const {}
  virtual void ApplyFormulas(const std::vector<TFormulaRecord>&,
                             const std::vector<TConstantRecord>&) {}
  virtual void CaptureFormulas(std::vector<TFormulaRecord>&, std::vector<TConstantRecord>&) const {}
  virtual void SetRecentFolder(const QString& /*folder*/) {}
  virtual void AddRecentFile(const QString& /*file*/) {}
  // After a successful load: tools and menus are updated, results invalidated.
  virtual void ProjectLoaded() {}
};

// The open and save file dialogs; an empty answer means cancelled.
class TFileDialogs {
 public:
  virtual ~TFileDialogs() = default;
  virtual QString OpenFileName(const QString& title, const QString& proposedName,
                               const QString& filter) = 0;
  virtual QString SaveFileName(const QString& title, const QString& proposedPath,
                               const QString& filter, const QString& defaultExtension) = 0;
};

class TProjectFiles {
 public:
  TProjectFiles(TData& data, TProjectHost& host, TFileDialogs& dialogs)
      : data_(data), host_(host), dialogs_(dialogs) {}

  // True when the project was loaded.
  bool LoadProject(const QString& fileName);
  // True when the project was saved.
  bool SaveProject();
  // Writes the current measurement to the file, without any question.
  bool SaveProjectTo(const QString& fileName, QString* error = nullptr);

 private:
  bool FindVideo(const QString& expected, QString& chosen);

  TData& data_;
  TProjectHost& host_;
  TFileDialogs& dialogs_;
};

class TMessage;
// The likely causes of a video that cannot be opened, as message lines.
void AddLikelyCauses(TMessage& m, bool codecLibraryAvailable);
// The path, an empty line and the likely causes, in a warning box.
void ShowVideoOpenFailure(const QString& path, bool codecLibraryAvailable);

}  // namespace mlb
