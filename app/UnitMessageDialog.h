// The message box as a Qt dialog: the icon of its kind, the lines with their
// colours (file paths as single blue lines shortened in the middle), an
// optional check box and the buttons in the order added. The answer is the
// index of the pressed button.
#pragma once

#include <memory>

#include <QImage>
#include <QString>

#include "common/UnitMessageBox.h"

class QDialog;
class QWidget;

namespace mlb {

// Shortens a one-line text to `width` pixels of `font` by replacing its middle
// with "... "; unchanged when it fits.
QString ShortenLine(const QString& text, const class QFont& font, int width);

class TQtMessageBox : public TMessageBox {
 public:
  explicit TQtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  // The picture shown for icCustom (the composed icons of the results checks).
  void SetCustomIcon(const QImage& icon) { custom_ = icon; }
  const QImage& CustomIcon() const { return custom_; }
  // The dialog of a message, not shown; pressing button i ends it with the
  // result i (tests press the buttons themselves).
  std::unique_ptr<QDialog> Build(TMessage& message) const;

 protected:
  int DoShow(TMessage& message) override;

 private:
  QWidget* parent_;
  QImage custom_;
};

}  // namespace mlb
