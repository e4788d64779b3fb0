#include "app/UnitBoiteTemps.h"

#include <cmath>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/UnitBoiteValeur.h"
#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"

namespace mlb {

QString TBoiteTemps::HeaderText(double d) {
  const QChar br(13);
  return QStringLiteral("Videosekvence byla zachycena s frekvencí") + br +
         QString::number(std::lround(1 / d)) + QStringLiteral(" obrázků / sekunda.") + br +
         QStringLiteral("Čas mezi dvěma po sobě jdoucími snímky je ") + br +
         QStringLiteral("T = ") + FormatGeneral(d, 3, 0) + QStringLiteral(" s.");
}

bool TBoiteTemps::Validate(const QString& text) {
  double x = 0;
  if (!TryParseFloat(text, x)) {
    ShowNotANumber(text, true);
    return false;
  }
  if (x <= 0.000001 || x >= 1000000000) {
    ShowOutOfRange(text + QStringLiteral(" s"), QStringLiteral("1 µs < dt < 1 Gs"));
    return false;
  }
  Period = x;
  Confirmed = true;
  return true;
}

namespace {

// The typed period wins as soon as the user clicks into its field.
class TTimeDialog : public TCheckedDialog {
 public:
  using TCheckedDialog::TCheckedDialog;
  QRadioButton* other = nullptr;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == field_ && e->type() == QEvent::MouseButtonPress && !other->isChecked()) {
      other->setChecked(true);
      QMetaObject::invokeMethod(field_, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    return TCheckedDialog::eventFilter(o, e);
  }
};

}  // namespace

void TBoiteTemps::Execute(bool videoOpened, double d, double r, QWidget* parent) {
  Confirmed = false;
  if (!videoOpened) return;
  auto* edit = new QLineEdit;
  TTimeDialog dialog(
      edit, true, [this](const QString& text) { return Validate(text); }, parent);
  dialog.setWindowTitle(QStringLiteral("Interval mezi dvěma obrázky"));
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(12, 14, 12, 0);
  QString header = HeaderText(d);
  header.replace(QChar(13), QLatin1Char('\n'));
  auto* label = new QLabel(header);
  label->setAlignment(Qt::AlignHCenter);
  layout->addWidget(label);
  auto* group = new QGroupBox(QStringLiteral("Výběr doby dt"));
  auto* g = new QVBoxLayout(group);
  auto* preset = new QRadioButton(QStringLiteral("Použít přednastavenou hodnotu dt = ") +
                                  FormatGeneral(d, 3, 0) + QStringLiteral(" s"));
  preset->setObjectName(QStringLiteral("preset"));
  dialog.other = new QRadioButton(QStringLiteral("Vybrat jinou hodnotu:"));
  dialog.other->setObjectName(QStringLiteral("other"));
  g->addWidget(preset);
  g->addWidget(dialog.other);
  auto* row = new QHBoxLayout;
  row->addSpacing(18);
  edit->setObjectName(QStringLiteral("period"));
  edit->setMaxLength(16);
  edit->setFixedWidth(85);
  row->addWidget(edit);
  row->addWidget(new QLabel(QStringLiteral("sekund")));
  row->addStretch(1);
  g->addLayout(row);
  layout->addWidget(group);
  const bool same = r == d;
  (same ? preset : dialog.other)->setChecked(true);
  edit->setText(FormatGeneral(same ? d : r, 10, 0));
  QObject::connect(preset, &QRadioButton::clicked, &dialog, [this, edit, d] {
    if (OnApplyVideoPeriod) OnApplyVideoPeriod(d);
    const QSignalBlocker block(edit);
    edit->setText(FormatGeneral(d, 10, 0));
  });
  QObject::connect(dialog.other, &QRadioButton::clicked, &dialog, [edit, r] {
    edit->setFocus();
    edit->setText(FormatGeneral(r, 10, 0));
    edit->selectAll();
  });
  QObject::connect(edit, &QLineEdit::textEdited, &dialog,
                   [&dialog](const QString&) { dialog.other->setChecked(true); });
  dialog.AddOkAndStatus(layout, QStringLiteral("1 µs < dt < 1 Gs"));
  dialog.exec();
}

}  // namespace mlb
