// The one message box of the program. Every report to the user is composed as
// a TMessage (icon kind, buttons in the order added, lines with colours, an
// optional check box) and shown through the installed TMessageBox. The answer
// is the 0-based index of the pressed button. While the box is switched off a
// request is not shown and answers 0.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include <QString>

#include "common/UnitTypes.h"

namespace mlb {

enum TIconKind : std::uint8_t {
  icCustom,
  icWarning,
  icError,
  icInformation,
  icConfirmation,
  icNone,
};

enum TButtonKind : std::uint8_t {
  btOk,
  btAnnuler,
  btIgnorer,
  btAbandonner,
  btTous,
  btQuitter,
  btAide,
  btRecommencer,
  btEnregistrer,
  btCustom,
};

enum class TLineKind : std::uint8_t {
  Paragraph,  // a paragraph, wrapped
  Indented,   // an indented paragraph
  Single,     // one line, shortened with "... " when too wide (file paths)
  Item,       // an item introduced by "- "
};

inline constexpr TColor kMessageBlack = 0x000000;
inline constexpr TColor kMessageBlue = 0xFF0000;  // 0x00BBGGRR

struct TMessageButton {
  QString caption;
  TButtonKind kind = btOk;
};

struct TMessageLine {
  TLineKind kind = TLineKind::Paragraph;
  QString text;
  TColor color = kMessageBlack;
};

class TMessageBox;

// One request to the message box.
class TMessage {
 public:
  explicit TMessage(TIconKind icon = icInformation) : icon_(icon) {}

  TMessage& AddButton(const QString& caption, TButtonKind kind);
  TMessage& AddParagraph(const QString& text, TColor color = kMessageBlack);
  TMessage& AddIndented(const QString& text, TColor color = kMessageBlack);
  TMessage& AddSingleLine(const QString& text, TColor color = kMessageBlack);
  TMessage& AddItem(const QString& text, TColor color = kMessageBlack);
  // A file path: a single line in blue.
  TMessage& AddPath(const QString& path) { return AddSingleLine(path, kMessageBlue); }
  TMessage& SetCheckBox(const QString& caption, bool checked);

  // Shows the request through the installed message box; returns the index of
  // the pressed button (0 when the box is switched off).
  int Execute();

  TIconKind Icon() const { return icon_; }
  const std::vector<TMessageButton>& Buttons() const { return buttons_; }
  const std::vector<TMessageLine>& Lines() const { return lines_; }
  bool HasCheckBox() const { return !checkCaption_.isEmpty(); }
  const QString& CheckBoxCaption() const { return checkCaption_; }
  bool CheckBoxChecked() const { return checked_; }
  void SetCheckBoxChecked(bool b) { checked_ = b; }
  // All lines joined with "\n", for logs and tests.
  QString Text() const;

 private:
  TIconKind icon_;
  std::vector<TMessageButton> buttons_;
  std::vector<TMessageLine> lines_;
  QString checkCaption_;
  bool checked_ = false;
};

// The message box component. The widget layer installs a dialog; headless
// programs and tests install TRecordingMessageBox.
class TMessageBox {
 public:
  virtual ~TMessageBox() = default;

  // Shows the message unless switched off; the index of the pressed button.
  int Show(TMessage& message);

  void SwitchOff() { ++offCount_; }
  void SwitchOn() {
    if (offCount_ > 0) --offCount_;
  }
  bool IsSwitchedOff() const { return offCount_ > 0; }

 protected:
  virtual int DoShow(TMessage& message) = 0;

 private:
  int offCount_ = 0;
};

// Records every message shown and answers from a queue of prepared answers
// (0 once the queue is empty).
class TRecordingMessageBox : public TMessageBox {
 public:
  std::vector<TMessage> shown;
  std::deque<int> answers;

 protected:
  int DoShow(TMessage& message) override;
};

// The installed message box; never null (a silent box answering 0 when
// nothing else was installed).
TMessageBox& MessageBoxService();
void InstallMessageBox(TMessageBox* box);  // nullptr restores the default

// Installs a message box for the lifetime of the guard (tests, tools).
class TMessageBoxGuard {
 public:
  explicit TMessageBoxGuard(TMessageBox* box);
  ~TMessageBoxGuard();
  TMessageBoxGuard(const TMessageBoxGuard&) = delete;
  TMessageBoxGuard& operator=(const TMessageBoxGuard&) = delete;

 private:
  TMessageBox* previous_;
};

}  // namespace mlb
