#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "common/UnitNumberFormat.h"
#include "kinematics/UnitParser.h"

namespace mlb {
namespace {

constexpr double kPi = std::numbers::pi;

struct Case {
  const char* formula;
  bool degrees;
  double value;  // when status is 0
  int status;
  const char* errorText;  // nullptr: not checked
};

// Names the resolver knows: x (x[i] = 10 + i at row 2), m = 2, pix = 5, SIN
// is unknown as a name.
bool Resolve(const QString& name, bool hasIndex, bool isAbsolute, int offset, bool& hasValue,
             double& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("x")) {
    const int row = hasIndex ? (isAbsolute ? offset : 2 + offset) : 2;
    hasValue = row >= 0 && row < 5;
    value = 10 + row;
    return true;
  }
  if (n == QLatin1String("m")) return hasValue = true, value = 2, true;
  if (n == QLatin1String("pix")) return hasValue = true, value = 5, true;
  if (n == QLatin1String("u")) return hasValue = true, value = std::nan(""), true;
  return false;
}

class Formula : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { SetDecimalSeparator(QLatin1Char(',')); }
};

TEST_P(Formula, EvaluatesAsTheLanguageSays) {
  const Case& c = GetParam();
  TParser p;
  p.Resolver = Resolve;
  p.SetRadians(!c.degrees);
  p.SetFormula(QString::fromUtf8(c.formula));
  const bool ok = p.Evaluate();
  EXPECT_EQ(p.Status(), c.status) << c.formula << ": " << p.ErrorText().toStdString();
  if (c.status == 0) {
    ASSERT_TRUE(ok) << c.formula;
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(p.Result())) << c.formula;
    } else {
      EXPECT_NEAR(p.Result(), c.value, 1e-12 * std::max(1.0, std::abs(c.value))) << c.formula;
    }
  } else {
    EXPECT_FALSE(ok) << c.formula;
    if (c.errorText) {
      EXPECT_EQ(p.ErrorText(), TParser::Message(c.status, QString::fromUtf8(c.errorText)))
          << c.formula;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Formula,
    ::testing::Values(
        Case{"-3^2", false, -9, 0, nullptr}, Case{"(-3)^2", false, 9, 0, nullptr},
        Case{"(-2)^3", false, -8, 0, nullptr}, Case{"(-8)^(1/3)", false, 0, 15, nullptr},
        Case{"0^0", false, 1, 0, nullptr}, Case{"0^-1", false, 0, 0, nullptr},
        Case{"1/2*4", false, 0.125, 0, nullptr}, Case{"8/2/2", false, 2, 0, nullptr},
        Case{"2*-3+1", false, -5, 0, nullptr}, Case{"--2", false, 2, 0, nullptr},
        Case{"+2", false, 2, 0, nullptr}, Case{"2^3^2", false, 64, 0, nullptr},
        Case{"5-3-1", false, 1, 0, nullptr}, Case{"5-3+1", false, 3, 0, nullptr},
        Case{"2^-2", false, 0.25, 0, nullptr}, Case{"(-2)^-2", false, 0.25, 0, nullptr},
        Case{"SIN(90)", true, 1, 0, nullptr}, Case{"sin(pi/2)", false, 1, 0, nullptr},
        Case{"ARCTAN(1;0)", true, 90, 0, nullptr}, Case{"ArcTan(1;0)", false, kPi / 2, 0, nullptr},
        Case{"ARCTAN(-1;-1)", true, -135, 0, nullptr}, Case{"ARCTAN(1)", true, 45, 0, nullptr},
        Case{"ARCSIN(1)", true, 90, 0, nullptr}, Case{"ARCCOS(0,5)", true, 60, 0, nullptr},
        Case{"LOG(1000)", false, 3, 0, nullptr}, Case{"LN(EXP(2))", false, 2, 0, nullptr},
        Case{"ABS(-2,5)", false, 2.5, 0, nullptr}, Case{"SQRT(16)+COS(0)", false, 5, 0, nullptr},
        Case{"SIN((pi))", false, 0, 0, nullptr}, Case{"SQRT(ABS(-9))", false, 3, 0, nullptr},
        Case{"ARCSIN(2)", false, 0, 9, nullptr}, Case{"ARCCOS(-2)", false, 0, 8, nullptr},
        Case{"LN(0)", false, 0, 11, nullptr}, Case{"LOG(-1)", false, 0, 11, nullptr},
        Case{"SQRT(-1)", false, 0, 13, nullptr}, Case{"1/0", false, 0, 14, nullptr},
        Case{"EXP(1000)", false, 0, 16, nullptr}, Case{"10^400", false, 0, 17, nullptr},
        Case{"1E300*1E300", false, 0, 19, nullptr}, Case{"SIN()", false, 0, 23, nullptr},
        Case{"()", false, 0, 3, nullptr}, Case{"SIN", false, 0, 20, "SIN"},
        Case{"(1+2", false, 0, 1, nullptr}, Case{"1+2)", false, 0, 2, nullptr},
        Case{"", false, 0, 26, nullptr}, Case{"2+", false, 0, 24, "+"},
        Case{"2 3", false, 0, 21, " "}, Case{"1,,5", false, 0, 4, "1,,"},
        Case{"1,5,2", false, 0, 4, "1,5,2"}, Case{"1,5E", false, 0, 4, "1,5E"},
        Case{"1,5E-3*2", false, 0.003, 0, nullptr}, Case{"0.5", false, 0, 21, "."},
        Case{"x[i", false, 0, 29, "x"}, Case{"x[]", false, 0, 22, "x"},
        Case{"x[i+]", false, 0, 22, "x"}, Case{"PI*2", false, 2 * kPi, 0, nullptr},
        Case{"pi2", false, 0, 25, nullptr}, Case{"pix", false, 5, 0, nullptr},
        Case{"y", false, 0, 20, "y"}, Case{"x", false, 12, 0, nullptr},
        Case{"x[i+1]-x[i-1]", false, 2, 0, nullptr}, Case{"x[0]", false, 10, 0, nullptr},
        Case{"X[i+3]", false, 0, 28, "X"}, Case{"0,5*m*x^2", false, 144, 0, nullptr},
        Case{"1;2", false, 0, 30, nullptr}, Case{"SIN(1;2)", false, 0, 30, nullptr},
        Case{"u+1", false, 0, 0, nullptr}, Case{"SIN(u)", false, std::nan(""), 0, nullptr},
        Case{"2*(3+4)*(5-1)", false, 56, 0, nullptr}, Case{"m$2", false, 0, 21, "$"},
        Case{"8÷2", false, 4, 0, nullptr}));

TEST(Parser, TokenizesOnceAndEvaluatesPerRow) {
  SetDecimalSeparator(QLatin1Char(','));
  int row = 0, knownQuestions = 0;
  TParser p;
  p.Resolver = [&](const QString& name, bool hasIndex, bool, int offset, bool& hasValue,
                   double& v) {
    if (name != QLatin1String("t")) return false;
    const int r = row + (hasIndex ? offset : 0);
    hasValue = r >= 0 && r < 10;
    v = r * 0.5;
    ++knownQuestions;
    return true;
  };
  p.SetFormula(QStringLiteral("(t[i+1]-t[i-1])/2"));
  ASSERT_EQ(p.Names(), QStringList{});
  row = 1;
  ASSERT_TRUE(p.Evaluate());
  EXPECT_DOUBLE_EQ(p.Result(), 0.5);
  EXPECT_EQ(p.Names(), QStringList{QStringLiteral("t")});
  const int afterFirst = knownQuestions;
  row = 0;
  EXPECT_FALSE(p.Evaluate());  // t[-1] has no value
  EXPECT_EQ(p.Status(), 28);
  row = 5;
  EXPECT_TRUE(p.Evaluate());
  EXPECT_EQ(knownQuestions, afterFirst + 2 + 2);  // values only: no new tokenizing
  // Tokenizing failures are sticky until the next formula.
  p.SetFormula(QStringLiteral("(1"));
  EXPECT_FALSE(p.Evaluate());
  EXPECT_FALSE(p.Evaluate());
  EXPECT_EQ(p.Status(), 1);
}

TEST(Parser, LongAndDeepFormulasAreRefusedOrHandled) {
  SetDecimalSeparator(QLatin1Char(','));
  TParser p;
  // A long but acceptable chain and deep nesting evaluate.
  QString chain = QStringLiteral("1");
  for (int i = 0; i < 1500; ++i) chain += QStringLiteral("+1");
  p.SetFormula(chain);
  ASSERT_TRUE(p.Evaluate());
  EXPECT_DOUBLE_EQ(p.Result(), 1501);
  QString nested =
      QString(1000, QLatin1Char('(')) + QStringLiteral("2") + QString(1000, QLatin1Char(')'));
  p.SetFormula(nested);
  ASSERT_TRUE(p.Evaluate());
  EXPECT_DOUBLE_EQ(p.Result(), 2);
  // Beyond the limit: a clear error instead of a stack overflow.
  p.SetFormula(QString(20000, QLatin1Char('(')) + QStringLiteral("1") +
               QString(20000, QLatin1Char(')')));
  EXPECT_FALSE(p.Evaluate());
  EXPECT_EQ(p.Status(), kStatusTooLong);
  EXPECT_TRUE(p.ErrorText().contains(QStringLiteral("4000")));
}

}  // namespace
}  // namespace mlb
