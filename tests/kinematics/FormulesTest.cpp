#include <cmath>
#include <functional>
#include <numbers>

#include <gtest/gtest.h>

#include "common/UnitMessageBox.h"
#include "common/UnitNumberFormat.h"
#include "kinematics/UnitFormules.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitMlb.h"
#include "tests/support/FakeView.h"
#include "tests/support/Measure.h"

namespace mlb {
namespace {

using test::FakeView;

// A uniformly accelerated mark: x = t^2 (a = 2 m/s^2) at 10 frames/s, on whole
// pixels of 0.0025 m; 6 samples.
class Formulas : public ::testing::Test {
 protected:
  Formulas() : data(&view), res(data), set(res) {
    SetDecimalSeparator(QLatin1Char(','));
    test::ScaleAndOrigin(view, data, res, 0.1);
    for (int f = 0; f < 6; ++f) {
      view.current = f;
      data.PlaceMark({320 + 4 * f * f, 240});
    }
    EXPECT_EQ(res.BuildPositions(), 0);
    EXPECT_TRUE(res.Compute(rcCurrent, 0));
  }
  // Adds a formula and checks it (a refused one is taken out again, as the
  // formula window does); returns the code.
  int Add(const char* text) {
    TRec* rec = set.AddFormula(QString::fromUtf8(text));
    const int code = set.CheckAndCompute(rec);
    if (code != 0) set.Remove(rec);
    return code;
  }
  double Value(int formula, int row) {
    return set.Formula(formula).FCurve.FValues[static_cast<std::size_t>(row)];
  }
  bool Present(int formula, int row) {
    return set.Formula(formula).FCurve.FPresent[static_cast<std::size_t>(row)] == 0;
  }
  FakeView view{100, 640, 480};
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TData data;
  TResCalc res;
  TFormules set;
};

TEST_F(Formulas, EnergyRecursionAndNeighbourRows) {
  ASSERT_EQ(set.CheckAndCompute(set.AddConstant(QStringLiteral("m"), QString(),
                                                QStringLiteral("kg"), QStringLiteral("0.2"))),
            0);
  EXPECT_EQ(set.Constant(0).FValueText, QStringLiteral("0,2"));
  ASSERT_EQ(Add("Ek=0,5*m*v^2"), 0);
  for (int r = 0; r < 6; ++r)
    EXPECT_NEAR(Value(0, r), 0.5 * 0.2 * std::pow(2 * 0.1 * r, 2), 1e-12) << r;
  EXPECT_TRUE(set.Formula(0).FCurve.FUsesSpeed);
  EXPECT_FALSE(set.Formula(0).FCurve.FUsesAccel);

  // x[i+1] has no value at the last row.
  ASSERT_EQ(Add("dx=x[i+1]-x"), 0);
  EXPECT_NEAR(Value(1, 0), 0.01, 1e-12);
  EXPECT_FALSE(Present(1, 5));
  EXPECT_EQ(set.Formula(1).FCurve.FLast, 4);

  // A recursive formula starts from its constant, row 0 being shown as 1.
  set.CheckAndCompute(
      set.AddConstant(QStringLiteral("Dt"), QString(), QString(), QStringLiteral("0,1")));
  TRec* missing = set.AddFormula(QStringLiteral("vl[i+1]=vl[i]+a*Dt"));
  EXPECT_EQ(set.CheckAndCompute(missing), 5);
  EXPECT_EQ(box.shown.back().Text(), TParser::Message(28, QStringLiteral("vl")));
  set.Remove(missing);
  set.CheckAndCompute(
      set.AddConstant(QStringLiteral("vl[1]"), QString(), QString(), QStringLiteral("0")));
  ASSERT_EQ(Add("vl[i+1]=vl[i]+a*Dt"), 0);
  for (int r = 0; r < 6; ++r) EXPECT_NEAR(Value(2, r), 0.2 * r, 1e-12) << r;
  EXPECT_TRUE(set.Formula(2).FCurve.FUsesAccel);
  // Counted from zero, the same formula needs vl[0].
  TFormulaSettings s = set.Settings();
  s.startByZero = true;
  set.ApplySettings(s);
  set.ComputeFormulas();
  EXPECT_FALSE(Present(2, 0));  // vl[1] is now the second row
  EXPECT_NEAR(Value(2, 1), 0.0, 1e-12);
  EXPECT_NEAR(Value(2, 5), 0.8, 1e-12);
}

TEST_F(Formulas, PredefinedNamesFollowMarksAndSettings) {
  EXPECT_EQ(Add("v=x*2"), 9);
  EXPECT_EQ(Add("B=x*3"), 9);
  EXPECT_EQ(Add("b=x*4"), 9);
  EXPECT_EQ(Add("T=x*5"), 9);
  EXPECT_EQ(Add("x2*1"), 5);  // one mark per frame: no x2
  EXPECT_EQ(box.shown.back().Text(), TParser::Message(20, QStringLiteral("x2")));
  EXPECT_EQ(Add("x0*1"), 5);
  EXPECT_EQ(Add("x1*1"), 0);
  // Angles in degrees by default; w stays in rad/s.
  data.SetAxisAngle(std::numbers::pi / 6);
  res.BuildPositions();
  res.Compute(rcCurrent, 0);
  EXPECT_EQ(Add("ang=B"), 0);
  EXPECT_NEAR(Value(set.Count() - 1, 0), 30, 1e-9);
  TFormulaSettings s = set.Settings();
  s.radians = true;
  set.ApplySettings(s);
  EXPECT_NEAR(Value(set.Count() - 1, 0), std::numbers::pi / 6, 1e-9);
  // Velocities switched off: v is no longer a name.
  s.speedAllowed = false;
  set.ApplySettings(s);
  EXPECT_EQ(Add("e2=v*1"), 5);
  EXPECT_EQ(box.shown.back().Text(), TParser::Message(20, QStringLiteral("v")));
}

TEST_F(Formulas, EveryValidationMessage) {
  struct Case {
    int code;
    std::function<TRec*()> make;
    QString text;
  };
  ASSERT_EQ(Add("p=x*2"), 0);
  set.Formula(0).FCurve.FInTable = false;
  const std::vector<Case> cases = {
      {1, [&] { return set.AddFormula(QStringLiteral("P=x*7")); }, QStringLiteral("P")},
      {2, [&] { return set.AddFormula(QStringLiteral("2p=x")); }, QStringLiteral("2p")},
      {4, [&] { return set.AddFormula(QStringLiteral("q=X*2")); }, QStringLiteral("X*2")},
      {6, [&] { return set.AddFormula(QStringLiteral("q[3]=x")); }, QStringLiteral("q[3]")},
      {9, [&] { return set.AddFormula(QStringLiteral("ax=x")); }, QStringLiteral("ax")},
      {11, [&] { return set.AddFormula(QStringLiteral("f[i+10]=x")); }, QStringLiteral("f[i+10]")},
      {3,
       [&] {
         return set.AddConstant(QStringLiteral("p"), QString(), QString(), QStringLiteral("1"));
       },
       QStringLiteral("p")},
      {10,
       [&] {
         return set.AddConstant(QStringLiteral("big"), QString(), QString(),
                                QStringLiteral("1E999"));
       },
       QString()},
      {6,
       [&] {
         return set.AddConstant(QStringLiteral("k[i+1]"), QString(), QString(),
                                QStringLiteral("1"));
       },
       QStringLiteral("k[i+1]")},
  };
  for (const Case& c : cases) {
    box.shown.clear();
    TRec* rec = c.make();
    EXPECT_EQ(set.CheckAndCompute(rec), c.code) << c.code;
    ASSERT_FALSE(box.shown.empty()) << c.code;
    if (c.code != 11) {
      EXPECT_EQ(box.shown[0].Text(), TFormules::ValidationMessage(c.code, c.text)) << c.code;
    }
    set.Remove(rec);
  }
  box.shown.clear();
  TRec* bad = set.AddConstant(QStringLiteral("g"), QString(), QString(), QStringLiteral("9,8,1"));
  EXPECT_EQ(set.CheckAndCompute(bad), 8);
  EXPECT_EQ(box.shown.size(), 2u);  // the rule, then the mantissa
  set.Remove(bad);
  box.shown.clear();
  EXPECT_EQ(set.CheckAndCompute(nullptr), 7);
  EXPECT_TRUE(box.shown.empty());
}

TEST_F(Formulas, DependencyOrderAndCycles) {
  // Entered before what it uses: computed after it anyway.
  set.AddFormula(QStringLiteral("twice=half*4"));
  set.AddFormula(QStringLiteral("half=x/2"));
  set.ComputeFormulas();
  for (int r = 0; r < 6; ++r)
    EXPECT_NEAR(Value(0, r),
                2 * data.GetMarkMatrices().X[0][r] * 0 + 2 * res.ValueAt(avAxes, 0, grX, r), 1e-12);
  // A cycle without a fixed point: invalid, whatever the order of computing.
  set.AddFormula(QStringLiteral("c1=c2+1"));
  set.AddFormula(QStringLiteral("c2=c1*2"));
  set.ComputeFormulas();
  EXPECT_TRUE(set.Formula(2).FCurve.FInvalid);
  EXPECT_TRUE(set.Formula(3).FCurve.FInvalid);
  set.ComputeFormulas();
  EXPECT_TRUE(set.Formula(2).FCurve.FInvalid);
  // A cycle through earlier rows settles in at most S + 1 rounds.
  set.CheckAndCompute(
      set.AddConstant(QStringLiteral("q1[1]"), QString(), QString(), QStringLiteral("1")));
  set.AddFormula(QStringLiteral("q1[i+1]=q2+1"));
  set.AddFormula(QStringLiteral("q2=q1*2"));
  set.ComputeFormulas();
  const int r1 = 4, r2 = 5;
  ASSERT_FALSE(set.Formula(r1).FCurve.FInvalid);
  double expected = 1;
  for (int r = 0; r < 6; ++r) {
    EXPECT_NEAR(Value(r1, r), expected, 1e-9) << r;
    EXPECT_NEAR(Value(r2, r), 2 * expected, 1e-9) << r;
    expected = 2 * expected + 1;
  }
}

TEST_F(Formulas, ProjectRecordsRoundTrip) {
  set.CheckAndCompute(
      set.AddConstant(QStringLiteral("m"), QString(), QStringLiteral("kg"), QStringLiteral("0,5")));
  set.CheckAndCompute(set.AddConstant(QStringLiteral("g2"), QStringLiteral("m*2"), QString()));
  EXPECT_EQ(set.Constant(1).FValueText, QStringLiteral("1,000"));
  Add("E=m*v^2");
  std::vector<TFormulaRecord> f;
  std::vector<TConstantRecord> c;
  set.SaveToRecords(f, c);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[1].value, QStringLiteral("=m*2"));
  EXPECT_EQ(f[0].comment, TRec::kNoComment);
  TFormules other(res);
  other.LoadFromRecords(f, c);
  ASSERT_EQ(other.Count(), 1);
  EXPECT_NEAR(other.Constant(1).FValue, 1.0, 1e-12);
  EXPECT_NEAR(other.Formula(0).FCurve.FValues[3], 0.5 * 0.36, 1e-12);
  EXPECT_EQ(other.DisplayText(0), QStringLiteral("E=m*v^2"));
  // Points against time, and against another formula as abscissa.
  EXPECT_EQ(other.FormulaPoints(0).size(), 6u);
  other.SelectAbscissa(0);
  EXPECT_EQ(other.Abscissa(), 0);
  double x0, x1, y0, y1;
  other.FormulaExtents(x0, x1, y0, y1);
  EXPECT_NEAR(x1, 0.5 * 1.0, 1e-12);
}

}  // namespace
}  // namespace mlb
