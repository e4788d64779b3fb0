#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitGrid.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"
#include "tests/support/Measure.h"

namespace mlb {
namespace {

using test::FakeView;

// Two points at 10 frames/s, 0.0025 m per pixel: point 1 moves right at
// 1 m/s, point 2 up at 1 m/s and is missing on frame 2.
class Grid : public ::testing::Test {
 protected:
  Grid() : data(&view), res(data), grids(res, data) {
    SetDecimalSeparator(QLatin1Char(','));
    test::ScaleAndOrigin(view, data, res, 0.1);
    data.SetMarksNumberPerFrame(2);
    for (int f = 0; f < 5; ++f) {
      view.current = f;
      data.SetCurrentMarkOrderNumber(0);
      data.PlaceMark({320 + 40 * f, 240});
      if (f != 2) {
        view.current = f;
        data.SetCurrentMarkOrderNumber(1);
        data.PlaceMark({320, 240 - 40 * f});
      }
    }
    EXPECT_EQ(res.BuildPositions(), 0);
    EXPECT_TRUE(res.Compute(rcCurrent, 0));
    grids.ResetColumns(rcBoth);
  }
  FakeView view{100, 640, 480};
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
  TResCalc res;
  TResGrid grids;
};

TEST_F(Grid, ColumnsOfTwoPoints) {
  TGrid& g = grids.Current();
  ASSERT_EQ(g.Columns().size(), 23u);
  QStringList symbols;
  for (int l = 0; l < 23; ++l) symbols << g.Descriptor(l).symbol;
  EXPECT_EQ(symbols.join(QLatin1Char(' ')),
            QStringLiteral("t x y x2 y2 vx vy v vx2 vy2 v2 ax ay a ax2 ay2 a2 O R w O2 R2 w2"));
  g.UpdateSize();
  EXPECT_EQ(g.ColCount(), 2);  // only time
  EXPECT_EQ(g.RowCount(), 5 + 4);
  EXPECT_EQ(g.ColumnColour(1), 0xFFFFFFu);
  g.SetGroupVisible(true, {grVx, grVy, grV});
  EXPECT_EQ(g.ColumnColour(2), ColumnGroupColour(grVx));
}

TEST_F(Grid, ExportLinesAndMatrix) {
  TGrid& g = grids.Current();
  g.Settings.hideEdgeV = true;
  g.SetGroupVisible(true, {grX, grY});
  g.SetGroupVisible(true, {grVx, grVy, grV});
  const QStringList lines = g.ExportLines(QStringLiteral("/usr/bin/motilab"),
                                          QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
  ASSERT_EQ(lines.size(), 3 + 3 + 5);
  EXPECT_EQ(lines[0], QStringLiteral("/usr/bin/motilab"));
  EXPECT_FALSE(lines[1].isEmpty());
  const QString expected = QStringLiteral(
      "Úhel otočení soustavy souřadné ve směru trigonometrickém : 0 rad\n"
      "t\tx\ty\tx2\ty2\tvx\tvy\tv\tvx2\tvy2\tv2\n"
      "s\tm\tm\tm\tm\tm/s\tm/s\tm/s\tm/s\tm/s\tm/s\n"
      "čas\tx-ová souřadnice bodu číslo1\tY-ová souřadnice bodu číslo1\t"
      "x-ová souřadnice bodu číslo2\tY-ová souřadnice bodu číslo2\t"
      "X-ová složka rychlosti bodu číslo1\tY-ová složka rychlosti bodu číslo1\tHodnota rychlosti "
      "bodu číslo1\t"
      "X-ová složka rychlosti bodu číslo2\tY-ová složka rychlosti bodu číslo2\tHodnota rychlosti "
      "bodu číslo2\n"
      "0\t0\t0\t0\t0\t\t\t\t\t\t\n"
      "0,1\t0,1\t0\t0\t0,1\t1\t0\t1\t0\t1\t1\n"
      "0,2\t0,2\t0\t\t\t1\t0\t1\t\t\t\n"
      "0,3\t0,3\t0\t0\t0,3\t1\t0\t1\t0\t1\t1\n"
      "0,4\t0,4\t0\t0\t0,4\t\t\t\t\t\t");
  EXPECT_EQ(lines.mid(2).join(QLatin1Char('\n')).toStdString(), expected.toStdString());

  const TMatriceStr m = g.ExportMatrix();
  ASSERT_EQ(m.size(), 9u);
  EXPECT_EQ(m[0][0],
            QStringLiteral("Úhel otočení soustavy souřadné ve směru trigonometrickém (rad) : "));
  EXPECT_EQ(m[0][1], QStringLiteral("0"));
  EXPECT_EQ(m[1][5], QStringLiteral("vx"));
  EXPECT_EQ(m[5][1], QStringLiteral("0,1"));
}

TEST_F(Grid, PrecisionLevelsAndHiddenAccelerationEdges) {
  TGrid& g = grids.Current();
  g.SetGroupVisible(true, {grAx, grAy, grA});
  g.Settings.hideEdgeA = true;
  // ax of point 1 (table column 2): empty at the two first and two last samples.
  for (int j : {0, 1, 3, 4}) EXPECT_TRUE(g.CellText(2, 4 + j, true).isEmpty()) << j;
  EXPECT_EQ(g.CellText(2, 4 + 2, true), QStringLiteral("0"));
  g.Settings.hideEdgeA = false;
  EXPECT_EQ(g.CellText(2, 4 + 2, true), QStringLiteral("0"));
  g.SetGroupVisible(false, {grAx, grAy, grA});
  g.SetGroupVisible(true, {grX, grY});
  EXPECT_EQ(g.CellText(1, 4 + 1, true), QStringLiteral("0,100"));  // t at precision 0
  g.IncreasePrecision(1);
  EXPECT_EQ(g.CellText(1, 4 + 1, true), QStringLiteral("0,1000"));
  for (int i = 0; i < 12; ++i) g.IncreasePrecision(1);
  EXPECT_EQ(g.Columns()[0].Precision, 8);
  for (int i = 0; i < 12; ++i) g.DecreasePrecision(1);
  EXPECT_EQ(g.Columns()[0].Precision, 0);
  // The fixed column numbers the samples from 1 (or 0).
  EXPECT_EQ(g.CellText(0, 4, true), QStringLiteral("1"));
  g.Settings.startByZero = true;
  EXPECT_EQ(g.CellText(0, 4, true), QStringLiteral("0"));
  EXPECT_EQ(g.CellText(0, 1, true), QString());
  // Hiding a column by its table index.
  g.SetColumnVisible(false, 2);
  EXPECT_EQ(g.Symbol(2), QStringLiteral("y"));
}

}  // namespace
}  // namespace mlb
