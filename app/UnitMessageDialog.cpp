#include "app/UnitMessageDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "common/UnitGraphUtils.h"

namespace mlb {

namespace {

constexpr int kTextWidth = 460;  // widest line, pixels

QPixmap IconOf(TIconKind kind, const QImage& custom) {
  QStyle* style = QApplication::style();
  const int size = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
  switch (kind) {
    case icWarning:
      return style->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size);
    case icError:
      return style->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size);
    case icInformation:
      return style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size, size);
    case icConfirmation:
      return style->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size);
    case icCustom:
      return custom.isNull() ? QPixmap() : QPixmap::fromImage(custom);
    default:
      return QPixmap();
  }
}

}  // namespace

QString ShortenLine(const QString& text, const QFont& font, int width) {
  const QFontMetrics fm(font);
  if (fm.horizontalAdvance(text) <= width) return text;
  const QString dots = QStringLiteral("... ");
  // Keep as much of both ends as fits: the start says where, the end says what.
  int keep = text.size();
  while (keep > 0) {
    const int head = keep / 2, tail = keep - head;
    const QString s = text.left(head) + dots + text.right(tail);
    if (fm.horizontalAdvance(s) <= width) return s;
    --keep;
  }
  return dots;
}

std::unique_ptr<QDialog> TQtMessageBox::Build(TMessage& message) const {
  auto dialog = std::make_unique<QDialog>(parent_);
  dialog->setWindowTitle(QStringLiteral("Motilab"));
  dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* outer = new QVBoxLayout(dialog.get());
  auto* row = new QHBoxLayout;
  outer->addLayout(row);
  const QPixmap icon = IconOf(message.Icon(), custom_);
  if (!icon.isNull()) {
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("icon"));
    picture->setPixmap(icon);
    picture->setAlignment(Qt::AlignTop);
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addSpacing(12);
  }
  auto* lines = new QVBoxLayout;
  lines->setSpacing(2);
  row->addLayout(lines, 1);
  for (const TMessageLine& line : message.Lines()) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: %1").arg(ToQColor(line.color).name()));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    switch (line.kind) {
      case TLineKind::Single:
        label->setText(ShortenLine(line.text, label->font(), kTextWidth));
        label->setToolTip(line.text);
        break;
      case TLineKind::Item:
        label->setText(QStringLiteral("- ") + line.text);
        label->setWordWrap(true);
        break;
      case TLineKind::Indented:
        label->setText(line.text);
        label->setWordWrap(true);
        label->setIndent(24);
        break;
      default:
        label->setText(line.text.isEmpty() ? QStringLiteral(" ") : line.text);
        label->setWordWrap(true);
        break;
    }
    label->setMaximumWidth(kTextWidth + 24);
    lines->addWidget(label);
  }
  QCheckBox* check = nullptr;
  if (message.HasCheckBox()) {
    check = new QCheckBox(message.CheckBoxCaption());
    check->setChecked(message.CheckBoxChecked());
    outer->addSpacing(6);
    outer->addWidget(check);
    QObject::connect(check, &QCheckBox::toggled,
                     [&message](bool on) { message.SetCheckBoxChecked(on); });
  }
  outer->addSpacing(8);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  outer->addLayout(buttons);
  QDialog* d = dialog.get();
  const auto& list = message.Buttons();
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    auto* b = new QPushButton(list[static_cast<std::size_t>(i)].caption);
    b->setObjectName(QStringLiteral("button%1").arg(i));
    if (i == 0) b->setDefault(true);
    QObject::connect(b, &QPushButton::clicked, d, [d, i] { d->done(i); });
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  return dialog;
}

int TQtMessageBox::DoShow(TMessage& message) {
  if (message.Buttons().empty()) message.AddButton(QStringLiteral("Ok"), btOk);
  const std::unique_ptr<QDialog> dialog = Build(message);
  const int r = dialog->exec();
  // Closing the window without a button answers the first button.
  return r >= 0 && r < static_cast<int>(message.Buttons().size()) ? r : 0;
}

}  // namespace mlb
