#include "app/UnitBoiteValeur.h"

#include <climits>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"

namespace mlb {

namespace {

constexpr double kDegToRad = 0.017453292519943295769;

QString Range(const char* text, int a, int b) {
  return QString::fromUtf8(text).arg(a).arg(b);
}

}  // namespace

void ShowNotANumber(const QString& text, bool real) {
  TMessage m(icWarning);
  m.AddButton(QStringLiteral("Ok"), btOk)
      .AddSingleLine(QStringLiteral("Zadaná hodnota je: ") + text, kMessageBlue)
      .AddParagraph(QString())
      .AddParagraph(
          real ? QStringLiteral("Tento řetězec znaků nepředstavuje přijatelné reálné číslo.")
               : QStringLiteral("Tento řetězec znaků nepředstavuje přijatelný celistvý násobek."))
      .AddParagraph(QString())
      .AddParagraph(QStringLiteral("Řetězec znaků musí být tvořen znaménkem (výběrově), číslicemi, "
                                   "desetinnou čárkou (výběrově) a mantisou (výběrově)."))
      .AddParagraph(QStringLiteral(
          "Mantisa obsahuje \"E\" nebo \"e\" následuje znaménko (výběrově) a celé číslo."));
  m.Execute();
}

void TBoiteValeur::SetTypeSaisie(TTypeSaisie kind, const TValueContext& c) {
  kind_ = kind;
  context_ = c;
  Explanation.clear();
  intMin_ = 0;
  intMax_ = 0;
  const int n = c.marksPerFrame, v = c.visibleCount;
  switch (kind) {
    case tsAngle:
      Caption = QStringLiteral("Zadat úhel otočení soustavy souřadnic");
      FieldLabel = QStringLiteral("Úhel otočení soustavy souřadnic ve stupních");
      RangeText = QStringLiteral("-180° <= úhel <= +180° v trigonometrickém směru");
      InitialText = FormatGeneral(c.axisAngle / kDegToRad, 6, 0);
      break;
    case tsCadence:
      Caption = QStringLiteral("Počet obrázků za sekundu");
      FieldLabel = QStringLiteral("Počet obrázků za sekundu");
      RangeText = QStringLiteral("1 <= počet obrázků za sekundu <= 100 obrázků za sekundu");
      InitialText = FormatGeneral(c.writerRate, 6, 0);
      break;
    case tsLongueur:
      Caption = QStringLiteral("Zadat velikost úseku");
      FieldLabel = QStringLiteral("Délka úseku v metrech");
      RangeText = QStringLiteral("1 mm < délka úseku < 15 Tm");
      InitialText = FormatGeneral(c.scaleLength[slLongueurN], 10, 0);
      break;
    case tsDMax:
      Caption = QStringLiteral("Poloměr hledání terče");
      FieldLabel = QStringLiteral("Poloměr hledání (v pixelech)");
      Explanation = QStringLiteral(
          "Maximální vzdálenost mezi dvěma po sobě jdoucími pozicemi terče je vyjádřena v počtu "
          "pixelů nezměněného obrazu.");
      intMin_ = 10, intMax_ = 100;
      RangeText = Range("%1 <= maximální vzdálenost <= %2", intMin_, intMax_);
      InitialText = QString::number(c.searchRadius);
      break;
    case tsLastImg:
      Caption = QStringLiteral("Zadat číslo posledního sledovaného snímku");
      FieldLabel = QStringLiteral("Číslo posledního snímku");
      Explanation = QStringLiteral("První obrázek videosekvence ukazuje obrys předmětu.");
      intMin_ = c.trackerFirstFrame + 2, intMax_ = v;
      RangeText = Range("%1 <= číslo <= %2", intMin_, intMax_);
      InitialText = QString::number(c.trackerLastFrame + 1);
      break;
    case tsNbMqDrawn:
      Caption = QStringLiteral("Nakreslit poslední umístěné značky");
      FieldLabel = QStringLiteral("Počet značek k nakreslení");
      intMin_ = 1, intMax_ = INT_MAX;
      RangeText = QStringLiteral("číslo >= 1");
      InitialText = QString::number(c.marksToDraw);
      break;
    case tsNbMqParImg:
      Caption = QStringLiteral("Zadat počet sledovaných bodů");
      FieldLabel = QStringLiteral("Počet značek na snímku");
      intMin_ = 1, intMax_ = 32;
      RangeText = Range("%1 <= číslo <= %2", intMin_, intMax_);
      InitialText = QString::number(n);
      break;
    case tsNumImg:
      Caption = QStringLiteral("Vyhledat snímek podle jeho čísla");
      FieldLabel = QStringLiteral("Číslo nového snímku");
      intMin_ = 1, intMax_ = v;
      RangeText = Range("%1 <= číslo <= %2", intMin_, intMax_);
      InitialText = QString::number(c.visibleIndex + 1);
      break;
    case tsNumOrdre:
      Caption = QStringLiteral("zadat číslo sledovaného předmětu");
      FieldLabel = QStringLiteral("Číslo předmětu");
      Explanation = QStringLiteral("Sledování lze provádět na jednom předmětu.");
      intMin_ = 1, intMax_ = n;
      RangeText = Range("%1 <= číslo <= %2", intMin_, intMax_);
      InitialText = QString::number(c.trackerCurrentObject + 1);
      break;
    case tsNbImgStep:
      Caption = QStringLiteral("Počet snímků oddělujících dvě podobné značky");
      FieldLabel = QStringLiteral("Počet snímků, o které se sekvence posune");
      Explanation = QStringLiteral(
          "Video se automaticky posune o jeden nebo o více snímků po položení poslední značky.");
      intMin_ = 1, intMax_ = v - 1;
      RangeText = Range("%1 <= číslo <= %2", intMin_, intMax_);
      InitialText = QString::number(c.framesBetweenMarks);
      break;
  }
  if (IsReal()) intMin_ = 0, intMax_ = 0;
}

void TBoiteValeur::SetTypeSaisieLongueur(TTypeSaisieLongueur which) {
  InitialText = FormatGeneral(context_.scaleLength[static_cast<std::size_t>(which)], 10, 0);
}

QChar FilterNumberKey(QChar c, bool real) {
  if (c.isDigit() && c.unicode() < 128) return c;
  if (c == QChar(8) || c == QChar(13)) return c;
  if (!real) return QChar();
  if (c == QLatin1Char('.') || c == QLatin1Char(',')) return DecimalSeparator();
  if (c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('E') ||
      c == QLatin1Char('e'))
    return c;
  return QChar();
}

QChar TBoiteValeur::FilterKey(QChar c) const {
  return FilterNumberKey(c, IsReal());
}

void ShowOutOfRange(const QString& shown, const QString& range) {
  TMessage m(icInformation);
  m.AddButton(QStringLiteral("Ok"), btOk)
      .AddSingleLine(QStringLiteral("Zadaná hodnota je: ") + shown, kMessageBlue)
      .AddParagraph(QString())
      .AddParagraph(QStringLiteral("Zadat hodnotu ležící v následujícím intervalu:"))
      .AddParagraph(QString())
      .AddParagraph(range);
  m.Execute();
}

TCheckedDialog::TCheckedDialog(QLineEdit* field, bool real,
                               std::function<bool(const QString&)> validate, QWidget* parent)
    : QDialog(parent), field_(field), real_(real), validate_(std::move(validate)) {
  field_->installEventFilter(this);
}

void TCheckedDialog::AddOkAndStatus(QBoxLayout* layout, const QString& status) {
  auto* ok = new QPushButton(QStringLiteral("&Ok"));
  ok->setDefault(true);
  ok->setFixedSize(75, 25);
  QObject::connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  auto* bar = new QStatusBar;
  bar->setSizeGripEnabled(false);
  bar->showMessage(status);
  layout->addWidget(bar);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TCheckedDialog::done(int r) {
  if (cancelable && r == QDialog::Rejected) return QDialog::done(r);
  if (!validate_(field_->text())) {
    field_->setFocus();
    field_->selectAll();
    return;
  }
  QDialog::done(QDialog::Accepted);
}

bool TCheckedDialog::eventFilter(QObject* o, QEvent* e) {
  if (o != field_ || e->type() != QEvent::KeyPress) return QDialog::eventFilter(o, e);
  auto* k = static_cast<QKeyEvent*>(e);
  if (k->text().isEmpty() || k->text().at(0).unicode() < 32) return false;  // navigation
  const QChar c = FilterNumberKey(k->text().at(0), real_);
  if (c.isNull())
    QApplication::beep();  // a character the field does not take
  else
    field_->insert(QString(c));
  return true;
}

bool TBoiteValeur::Validate(const QString& text) {
  double x = 0;
  bool ok = false;
  if (IsReal()) {
    ok = TryParseFloat(text, x);
  } else {
    const int n = text.trimmed().toInt(&ok);
    x = n;
  }
  if (!ok) {
    ShowNotANumber(text, IsReal());
    return false;
  }
  bool inRange = false;
  switch (kind_) {
    case tsAngle:
      inRange = x >= -180 && x <= 180;
      break;
    case tsCadence:
      inRange = x >= 1 && x <= 100;
      break;
    case tsLongueur:
      inRange = x > 0.001 && x < 1.5e13;
      break;
    default:
      inRange = x >= intMin_ && x <= intMax_;
      break;
  }
  if (!inRange) {
    QString shown = text;
    if (kind_ == tsAngle) shown += QStringLiteral("°");
    if (kind_ == tsLongueur) shown += QStringLiteral(" m");
    ShowOutOfRange(shown, RangeText);
    return false;
  }
  switch (kind_) {
    case tsAngle:
      RealValue = x * kDegToRad;
      break;
    case tsCadence:
    case tsLongueur:
      RealValue = x;
      break;
    case tsLastImg:
    case tsNumImg:
    case tsNumOrdre:
      IntValue = static_cast<int>(x) - 1;
      break;
    default:
      IntValue = static_cast<int>(x);
      break;
  }
  Confirmed = true;
  return true;
}

void TBoiteValeur::Execute(QWidget* parent) {
  Confirmed = false;
  if (!context_.videoOpened) return;
  auto* field = new QLineEdit(InitialText);
  TCheckedDialog dialog(
      field, IsReal(), [this](const QString& text) { return Validate(text); }, parent);
  dialog.cancelable = RangeEmpty();  // nothing could be accepted
  dialog.setWindowTitle(Caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(12, 14, 12, 0);
  if (!Explanation.isEmpty()) {
    auto* text = new QLabel(Explanation);
    text->setWordWrap(true);
    layout->addWidget(text);
  }
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(FieldLabel + QStringLiteral(" :")));
  field->setObjectName(QStringLiteral("value"));
  field->setMaxLength(16);
  field->setFixedWidth(120);
  row->addWidget(field);
  layout->addLayout(row);
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);
  dialog.AddOkAndStatus(layout, RangeText);
  field->selectAll();
  field->setFocus();
  dialog.exec();
}

}  // namespace mlb
