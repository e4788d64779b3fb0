// The message box dialog, the value entry dialog and the time dialog: texts,
// key filters, ranges and refusals, and the dialogs driven as a user would.
#include <cmath>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/UnitBoiteTemps.h"
#include "app/UnitBoiteValeur.h"
#include "app/UnitMessageDialog.h"
#include "common/UnitNumberFormat.h"

namespace mlb {
namespace {

// Runs `act` on the modal dialog once it is shown.
void WhenShown(std::function<void(QDialog*)> act) {
  QTimer::singleShot(0, [act] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(d);
  });
}

TEST(MessageDialog, ButtonsLinesAndCheckBox) {
  TQtMessageBox box;
  TMessage m(icWarning);
  m.AddButton(QStringLiteral("Zadat název"), btCustom)
      .AddButton(QStringLiteral("Zrušit"), btAnnuler)
      .AddButton(QStringLiteral("Pokračovat"), btIgnorer)
      .AddParagraph(QStringLiteral("První řádek"))
      .AddParagraph(QString())
      .AddItem(QStringLiteral("položka"))
      .AddPath(QStringLiteral("/home/student/videa/pokus.avi"))
      .SetCheckBox(QStringLiteral("Nezobrazovat tento dialog"), false);
  auto dialog = box.Build(m);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Motilab"));
  QStringList texts;
  for (QLabel* l : dialog->findChildren<QLabel*>())
    if (l->objectName() != QLatin1String("icon")) texts << l->text();
  EXPECT_TRUE(texts.contains(QStringLiteral("- položka")));
  EXPECT_TRUE(texts.contains(QStringLiteral("/home/student/videa/pokus.avi")));
  QCheckBox* check = dialog->findChild<QCheckBox*>();
  ASSERT_NE(check, nullptr);
  check->setChecked(true);
  EXPECT_TRUE(m.CheckBoxChecked());
  // The buttons in the order added; each answers its index.
  auto* second = dialog->findChild<QPushButton*>(QStringLiteral("button1"));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->text(), QStringLiteral("Zrušit"));
  WhenShown([](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("button2"))->click(); });
  InstallMessageBox(&box);
  EXPECT_EQ(m.Execute(), 2);
  InstallMessageBox(nullptr);
  // A switched-off box shows nothing and answers 0.
  box.SwitchOff();
  EXPECT_EQ(box.Show(m), 0);
  box.SwitchOn();
}

TEST(MessageDialog, LongPathsAreShortenedInTheMiddle) {
  const QFont font;
  const QString path = QStringLiteral("/home/student/") + QString(200, QLatin1Char('x')) +
                       QStringLiteral("/pokus.avi");
  const QString s = ShortenLine(path, font, 300);
  EXPECT_TRUE(s.contains(QStringLiteral("... ")));
  EXPECT_TRUE(s.startsWith(QStringLiteral("/home/")));
  EXPECT_TRUE(s.endsWith(QStringLiteral("pokus.avi")));
  EXPECT_LE(QFontMetrics(font).horizontalAdvance(s), 300);
  EXPECT_EQ(ShortenLine(QStringLiteral("krátký"), font, 300), QStringLiteral("krátký"));
}

class ValueEntry : public ::testing::Test {
 protected:
  ValueEntry() {
    SetDecimalSeparator(QLatin1Char(','));
    context.videoOpened = true;
    context.visibleCount = 250;
    context.marksPerFrame = 3;
    context.scaleLength = {2.5, 1.25, 0.5};
  }
  bool Accepts(TTypeSaisie kind, const QString& text) {
    box.SetTypeSaisie(kind, context);
    const std::size_t before = messages.shown.size();
    const bool ok = box.Validate(text);
    EXPECT_EQ(messages.shown.size() == before, ok) << text.toStdString();
    return ok;
  }
  TValueContext context;
  TBoiteValeur box;
  TRecordingMessageBox messages;
  TMessageBoxGuard guard{&messages};
};

TEST_F(ValueEntry, RangesByKind) {
  const struct {
    TTypeSaisie kind;
    const char* text;
    bool accepted;
  } cases[] = {
      {tsAngle, "181", false},       {tsAngle, "-180", true},      {tsAngle, "180", true},
      {tsLongueur, "0,001", false},  {tsLongueur, "0,0011", true}, {tsLongueur, "1e3", true},
      {tsLongueur, "1,5e13", false}, {tsDMax, "9", false},         {tsDMax, "10", true},
      {tsDMax, "100", true},         {tsDMax, "101", false},       {tsNumImg, "0", false},
      {tsNumImg, "1", true},         {tsNumImg, "250", true},      {tsNumImg, "251", false},
      {tsNbMqParImg, "32", true},    {tsNbMqParImg, "33", false},  {tsNumOrdre, "3", true},
      {tsNumOrdre, "4", false},      {tsNbImgStep, "249", true},   {tsNbImgStep, "250", false},
      {tsCadence, "100", true},      {tsCadence, "0,5", false},    {tsNbMqDrawn, "1", true},
      {tsNbMqDrawn, "0", false},     {tsDMax, "1.5", false},       {tsAngle, "abc", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Accepts(c.kind, QString::fromUtf8(c.text)), c.accepted)
        << int(c.kind) << " " << c.text;
}

TEST_F(ValueEntry, ReturnedValuesAndMessages) {
  ASSERT_TRUE(Accepts(tsAngle, QStringLiteral("-180")));
  EXPECT_NEAR(box.RealValue, -M_PI, 1e-12);
  ASSERT_TRUE(Accepts(tsNumImg, QStringLiteral("250")));
  EXPECT_EQ(box.IntValue, 249);
  ASSERT_TRUE(Accepts(tsLongueur, QStringLiteral("1e3")));
  EXPECT_EQ(box.RealValue, 1000);
  context.trackerFirstFrame = 10;
  EXPECT_FALSE(Accepts(tsLastImg, QStringLiteral("11")));
  ASSERT_TRUE(Accepts(tsLastImg, QStringLiteral("12")));
  EXPECT_EQ(box.IntValue, 11);
  // The range box: the text with the unit, then the range.
  EXPECT_FALSE(Accepts(tsAngle, QStringLiteral("181")));
  const TMessage& range = messages.shown.back();
  EXPECT_EQ(range.Icon(), icInformation);
  EXPECT_EQ(range.Lines()[0].text, QStringLiteral("Zadaná hodnota je: 181°"));
  EXPECT_EQ(range.Lines()[0].color, kMessageBlue);
  EXPECT_EQ(range.Lines().back().text,
            QStringLiteral("-180° <= úhel <= +180° v trigonometrickém směru"));
  EXPECT_FALSE(Accepts(tsLongueur, QStringLiteral("0,001")));
  EXPECT_EQ(messages.shown.back().Lines()[0].text, QStringLiteral("Zadaná hodnota je: 0,001 m"));
  // Not a number: integer and real wording.
  EXPECT_FALSE(Accepts(tsNumImg, QStringLiteral("x")));
  EXPECT_EQ(messages.shown.back().Icon(), icWarning);
  EXPECT_EQ(messages.shown.back().Lines()[2].text,
            QStringLiteral("Tento řetězec znaků nepředstavuje přijatelný celistvý násobek."));
  // Texts and initial values.
  box.SetTypeSaisie(tsNumImg, context);
  EXPECT_EQ(box.RangeText, QStringLiteral("1 <= číslo <= 250"));
  EXPECT_EQ(box.InitialText, QStringLiteral("1"));
  box.SetTypeSaisie(tsLongueur, context);
  EXPECT_EQ(box.InitialText, QStringLiteral("1,25"));
  box.SetTypeSaisieLongueur(slLongueurV);
  EXPECT_EQ(box.InitialText, QStringLiteral("0,5"));
  box.SetTypeSaisie(tsNbImgStep, context);
  EXPECT_FALSE(box.Explanation.isEmpty());
}

TEST_F(ValueEntry, KeyFilter) {
  box.SetTypeSaisie(tsLongueur, context);
  EXPECT_EQ(box.FilterKey(QLatin1Char('.')), QLatin1Char(','));
  EXPECT_EQ(box.FilterKey(QLatin1Char('e')), QLatin1Char('e'));
  EXPECT_TRUE(box.FilterKey(QLatin1Char('x')).isNull());
  box.SetTypeSaisie(tsNumImg, context);
  EXPECT_TRUE(box.FilterKey(QLatin1Char('-')).isNull());
  EXPECT_TRUE(box.FilterKey(QLatin1Char(',')).isNull());
  EXPECT_EQ(box.FilterKey(QLatin1Char('7')), QLatin1Char('7'));
}

TEST_F(ValueEntry, DialogClosesOnlyWithAValidValue) {
  box.SetTypeSaisie(tsNumImg, context);
  WhenShown([](QDialog* d) {
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("value"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("1"));
    QTest::keyClicks(edit, QStringLiteral("3x00"));  // the letter is dropped
    EXPECT_EQ(edit->text(), QStringLiteral("300"));
    QTest::keyClick(edit, Qt::Key_Return);  // out of range: stays open
    EXPECT_TRUE(d->isVisible());
    edit->setText(QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  box.Execute();
  EXPECT_TRUE(box.Confirmed);
  EXPECT_EQ(box.IntValue, 11);
  EXPECT_EQ(messages.shown.size(), 1u);
  // Without a video nothing is shown.
  context.videoOpened = false;
  box.SetTypeSaisie(tsNumImg, context);
  box.Execute();
  EXPECT_FALSE(box.Confirmed);
}

TEST_F(ValueEntry, TimeDialog) {
  EXPECT_EQ(TBoiteTemps::HeaderText(0.04),
            QStringLiteral("Videosekvence byla zachycena s frekvencí\r25 obrázků / sekunda.\r"
                           "Čas mezi dvěma po sobě jdoucími snímky je \rT = 0,04 s."));
  TBoiteTemps t;
  EXPECT_FALSE(t.Validate(QStringLiteral("0,000001")));
  EXPECT_TRUE(t.Validate(QStringLiteral("0,0000011")));
  EXPECT_FALSE(t.Validate(QStringLiteral("1e9")));
  EXPECT_FALSE(t.Validate(QStringLiteral("abc")));
  // The dialog: the preset is checked while the period is the video's;
  // clicking into the field chooses the other value.
  double applied = 0;
  t.OnApplyVideoPeriod = [&](double d) { applied = d; };
  WhenShown([](QDialog* d) {
    auto* preset = d->findChild<QRadioButton*>(QStringLiteral("preset"));
    auto* other = d->findChild<QRadioButton*>(QStringLiteral("other"));
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("period"));
    EXPECT_TRUE(preset->isChecked());
    EXPECT_EQ(edit->text(), QStringLiteral("0,04"));
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(other->isChecked());
    preset->click();
    edit->setText(QStringLiteral("0.01"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  t.Execute(true, 0.04, 0.04);
  EXPECT_EQ(applied, 0.04);
  EXPECT_TRUE(t.Confirmed);
  EXPECT_EQ(t.Period, 0.01);
}

}  // namespace
}  // namespace mlb
