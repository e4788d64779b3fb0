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
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
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
    TMessage m(icInformation);
    m.AddButton(QStringLiteral("Ok"), btOk)
        .AddSingleLine(QStringLiteral("Zadaná hodnota je: ") + text + QStringLiteral(" s"),
                       kMessageBlue)
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("Zadat hodnotu ležící v následujícím intervalu:"))
        .AddParagraph(QString())
        .AddParagraph(QStringLiteral("1 µs < dt < 1 Gs"));
    m.Execute();
    return false;
  }
  Period = x;
  Confirmed = true;
  return true;
}

namespace {

class TTimeDialog : public QDialog {
 public:
  TTimeDialog(TBoiteTemps& box, QWidget* parent) : QDialog(parent), box_(box) {}
  QLineEdit* edit = nullptr;
  QRadioButton* other = nullptr;

  void done(int r) override {
    if (!box_.Validate(edit->text())) {
      edit->setFocus();
      edit->selectAll();
      return;
    }
    QDialog::done(r == QDialog::Rejected ? QDialog::Accepted : r);
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == edit && e->type() == QEvent::MouseButtonPress && !other->isChecked()) {
      other->setChecked(true);  // a click in the field chooses the typed value
      QMetaObject::invokeMethod(edit, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    if (o == edit && e->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->text().isEmpty() || k->text().at(0).unicode() < 32) return false;
      const QChar c = k->text().at(0);
      if (c == QLatin1Char('.') || c == QLatin1Char(','))
        edit->insert(QString(DecimalSeparator()));
      else if ((c.isDigit() && c.unicode() < 128) || c == QLatin1Char('+') ||
               c == QLatin1Char('-') || c == QLatin1Char('E') || c == QLatin1Char('e'))
        edit->insert(QString(c));
      else
        QApplication::beep();
      return true;
    }
    return QDialog::eventFilter(o, e);
  }

 private:
  TBoiteTemps& box_;
};

}  // namespace

void TBoiteTemps::Execute(bool videoOpened, double d, double r, QWidget* parent) {
  Confirmed = false;
  if (!videoOpened) return;
  TTimeDialog dialog(*this, parent);
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
  dialog.edit = new QLineEdit;
  dialog.edit->setObjectName(QStringLiteral("period"));
  dialog.edit->setMaxLength(16);
  dialog.edit->setFixedWidth(85);
  row->addWidget(dialog.edit);
  row->addWidget(new QLabel(QStringLiteral("sekund")));
  row->addStretch(1);
  g->addLayout(row);
  layout->addWidget(group);
  const bool same = r == d;
  (same ? preset : dialog.other)->setChecked(true);
  dialog.edit->setText(FormatGeneral(same ? d : r, 10, 0));
  dialog.edit->installEventFilter(&dialog);
  QObject::connect(preset, &QRadioButton::clicked, &dialog, [this, &dialog, d] {
    if (OnApplyVideoPeriod) OnApplyVideoPeriod(d);
    const QSignalBlocker block(dialog.edit);
    dialog.edit->setText(FormatGeneral(d, 10, 0));
  });
  QObject::connect(dialog.other, &QRadioButton::clicked, &dialog, [&dialog, r] {
    dialog.edit->setFocus();
    dialog.edit->setText(FormatGeneral(r, 10, 0));
    dialog.edit->selectAll();
  });
  QObject::connect(dialog.edit, &QLineEdit::textEdited, &dialog,
                   [&dialog](const QString&) { dialog.other->setChecked(true); });
  auto* ok = new QPushButton(QStringLiteral("&Ok"));
  ok->setDefault(true);
  ok->setFixedSize(75, 25);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  auto* status = new QStatusBar;
  status->setSizeGripEnabled(false);
  status->showMessage(QStringLiteral("1 µs < dt < 1 Gs"));
  layout->addWidget(status);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog.exec();
}

}  // namespace mlb
