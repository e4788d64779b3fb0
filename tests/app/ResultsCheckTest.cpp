// The checks of the results buttons on small measurements: which message
// stops the command, in which order, and the names question's memory.
#include <gtest/gtest.h>

#include "app/UnitResultsCheck.h"
#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb {
namespace {

class ResultsCheck : public ::testing::Test {
 protected:
  ResultsCheck() : data(&view) {
    data.Reset();
    data.SetRequiredDuration(0.04);
    check.askObjectNames = &ask;
    check.drawIcon = [this](int n) { icons << n; };
    check.changeDefaultNames = true;
  }
  void Scale() {
    data.Echelle().LeftPress({100, 400});
    data.Echelle().LeftPress({300, 400});
    data.Echelle().SetLength(skSingle, 1.0);
  }
  void Marks(int perPoint) {
    view.current = 0;
    for (int f = 0; f < perPoint; ++f)
      for (int k = 0; k < data.MarksNumberPerFrame(); ++k)
        data.SetMarkAt(k, f, {0.1 + 0.05 * f, 0.2 + 0.1 * k});
  }
  QString Shown() const { return box.shown.empty() ? QString() : box.shown.back().Text(); }

  test::FakeView view;
  TData data;
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  bool ask = true;
  QList<int> icons;
  TResultsCheck check;
};

TEST_F(ResultsCheck, RefusalsInOrder) {
  // No scale: the scale message with the single-scale picture.
  EXPECT_FALSE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_TRUE(Shown().startsWith(QStringLiteral("Nejprve zadejte za pomoci známé délky měřítko.")));
  EXPECT_EQ(icons, QList<int>{6});
  Scale();
  // Two objects with two marks each: the marks message names the count.
  data.SetMarksNumberPerFrame(2);
  Marks(2);
  EXPECT_FALSE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_TRUE(
      Shown().startsWith(QStringLiteral("Máte vybráno současné označení poloh 2 předmětů.")));
  EXPECT_EQ(icons.back(), 10);
  // Five marks but no origin.
  Marks(5);
  EXPECT_FALSE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_TRUE(Shown().startsWith(QStringLiteral("Nejprve umístěte počátek soustavy souřadnic.")));
  EXPECT_EQ(icons.back(), 9);
  // Three marks with an origin: the five-marks question; "Zrušit" stops.
  data.RepereFixe().LeftPress({320, 240});
  data.EraseAllMarks();
  Marks(3);
  box.answers = {0};
  EXPECT_FALSE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_TRUE(Shown().startsWith(QStringLiteral("Výpočet rychlosti nebo zrychlení")));
}

TEST_F(ResultsCheck, NamesQuestionUntilTickedAndCalculationError) {
  Scale();
  data.RepereFixe().LeftPress({320, 240});
  Marks(6);
  int namesOpened = 0;
  check.openNames = [&] { ++namesOpened; };
  // "Zadat název" opens the names dialog and goes on.
  box.answers = {0};
  EXPECT_TRUE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_EQ(namesOpened, 1);
  EXPECT_EQ(icons.back(), 12);
  // Asked again next time; ticking the check box stops the question.
  const std::size_t before = box.shown.size();
  box.answers = {2};
  EXPECT_TRUE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_EQ(box.shown.size(), before + 1);
  EXPECT_TRUE(ask);
  ask = false;  // as after a ticked box
  EXPECT_TRUE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_EQ(box.shown.size(), before + 1);
  // A calculation error stops with the warning.
  check.prepare = [] { return false; };
  EXPECT_FALSE(CheckResultsReady(data, mvRepereFixe, check));
  EXPECT_TRUE(Shown().contains(QStringLiteral("Výpočetní jednotka detekovala chybu.")));
}

TEST_F(ResultsCheck, TransparentModeCountsAllMarks) {
  Scale();
  view.mode = mvTransparent;
  data.SetTool(otTsp);
  for (int f = 0; f < 2; ++f) {
    view.current = f;
    data.MouseDown(mbLeft, 0, 300, 200);  // grab and drop the overlay
    data.MouseUp(mbLeft, 0, 300, 200);
    data.MouseDown(mbLeft, 0, 350 + 10 * f, 250);  // the mark
  }
  ASSERT_EQ(data.MarkCount(), 2);
  EXPECT_FALSE(CheckResultsReady(data, mvTransparent, check));
  EXPECT_TRUE(
      Shown().startsWith(QStringLiteral("Nejprve umístěte alespoň tři značky na trajektorii.")));
  EXPECT_EQ(icons.back(), 11);
}

}  // namespace
}  // namespace mlb
