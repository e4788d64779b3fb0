#include "common/UnitMessageBox.h"

#include <QStringList>

namespace mlb {

namespace {
TMessageBox* g_installed = nullptr;

// Answers 0 without showing or keeping anything: the box of headless runs
// until a real one is installed.
class TSilentMessageBox : public TMessageBox {
 protected:
  int DoShow(TMessage&) override { return 0; }
};

TMessageBox& DefaultBox() {
  static TSilentMessageBox box;
  return box;
}
}  // namespace

TMessage& TMessage::AddButton(const QString& caption, TButtonKind kind) {
  buttons_.push_back({caption, kind});
  return *this;
}

TMessage& TMessage::AddParagraph(const QString& text, TColor color) {
  lines_.push_back({TLineKind::Paragraph, text, color});
  return *this;
}

TMessage& TMessage::AddIndented(const QString& text, TColor color) {
  lines_.push_back({TLineKind::Indented, text, color});
  return *this;
}

TMessage& TMessage::AddSingleLine(const QString& text, TColor color) {
  lines_.push_back({TLineKind::Single, text, color});
  return *this;
}

TMessage& TMessage::AddItem(const QString& text, TColor color) {
  lines_.push_back({TLineKind::Item, text, color});
  return *this;
}

TMessage& TMessage::SetCheckBox(const QString& caption, bool checked) {
  checkCaption_ = caption;
  checked_ = checked;
  return *this;
}

int TMessage::Execute() {
  return MessageBoxService().Show(*this);
}

QString TMessage::Text() const {
  QStringList parts;
  for (const auto& l : lines_)
    parts << (l.kind == TLineKind::Item ? QStringLiteral("- ") + l.text : l.text);
  return parts.join(QLatin1Char('\n'));
}

int TMessageBox::Show(TMessage& message) {
  if (IsSwitchedOff()) return 0;
  return DoShow(message);
}

int TRecordingMessageBox::DoShow(TMessage& message) {
  shown.push_back(message);
  if (answers.empty()) return 0;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

TMessageBox& MessageBoxService() {
  return g_installed ? *g_installed : DefaultBox();
}

void InstallMessageBox(TMessageBox* box) {
  g_installed = box;
}

TMessageBoxGuard::TMessageBoxGuard(TMessageBox* box) : previous_(g_installed) {
  g_installed = box;
}

TMessageBoxGuard::~TMessageBoxGuard() {
  g_installed = previous_;
}

}  // namespace mlb
