#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "common/UnitNumberFormat.h"

namespace mlb {
namespace {

struct FormatCase {
  double value;
  TFloatFormat format;
  int p, d;
  const char* expected;
};

class NumberFormat : public ::testing::TestWithParam<FormatCase> {
 protected:
  void SetUp() override { SetDecimalSeparator(QLatin1Char(',')); }
};

TEST_P(NumberFormat, MatchesTheConventions) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatFloat(c.value, c.format, c.p, c.d).toStdString(), c.expected)
      << "value " << c.value << " P " << c.p << " D " << c.d;
}

constexpr auto G = TFloatFormat::General;
constexpr auto F = TFloatFormat::Fixed;
constexpr auto S = TFloatFormat::Scientific;
constexpr double kHalfPi = std::numbers::pi / 2;

INSTANTIATE_TEST_SUITE_P(
    Table, NumberFormat,
    ::testing::Values(
        // General: plain while the integer part fits in P digits and |v| >= 0.00001.
        FormatCase{0.0, G, 15, 0, "0"}, FormatCase{1.5, G, 15, 0, "1,5"},
        FormatCase{-2.25, G, 15, 0, "-2,25"}, FormatCase{100.0, G, 3, 0, "100"},
        FormatCase{0.1 + 0.2, G, 15, 0, "0,3"}, FormatCase{kHalfPi, G, 4, 0, "1,571"},
        FormatCase{0.00001, G, 15, 0, "0,00001"}, FormatCase{123456.0, G, 6, 0, "123456"},
        // ... otherwise scientific, trailing zeros dropped, D exponent digits.
        FormatCase{1234.0, G, 3, 0, "1,23E3"}, FormatCase{999.6, G, 3, 0, "1E3"},
        FormatCase{0.000009, G, 15, 2, "9E-06"}, FormatCase{-2.5e-7, G, 3, 2, "-2,5E-07"},
        FormatCase{1.5e20, G, 15, 0, "1,5E20"}, FormatCase{1.5e20, G, 15, 3, "1,5E020"},
        // Fixed: P significant digits, exactly D decimals.
        FormatCase{kHalfPi, F, 3, 3, "1,570"}, FormatCase{2.5, F, 15, 2, "2,50"},
        FormatCase{12.345, F, 15, 0, "12"}, FormatCase{9.996, F, 3, 2, "10,00"},
        FormatCase{-0.001, F, 3, 2, "0,00"}, FormatCase{0.0, F, 15, 2, "0,00"},
        FormatCase{-3.14159, F, 15, 3, "-3,142"}, FormatCase{1234.0, F, 3, 2, "1,23E03"},
        // Scientific: one digit, P - 1 decimals, signed exponent of D digits.
        FormatCase{kHalfPi, S, 3, 3, "1,57E+000"}, FormatCase{-1234.56, S, 4, 2, "-1,235E+03"},
        FormatCase{0.00012, S, 2, 1, "1,2E-4"}, FormatCase{0.0, S, 3, 2, "0,00E+00"},
        FormatCase{5.0, S, 1, 0, "5E+0"}));

TEST(NumberFormatSpecial, SeparatorAndNonFiniteValues) {
  SetDecimalSeparator(QLatin1Char('.'));
  EXPECT_EQ(FormatFixed(kHalfPi, 3, 3), QStringLiteral("1.570"));
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), 15, 0), QStringLiteral("NAN"));
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), 15, 0), QStringLiteral("-INF"));
  SetDecimalSeparator(QLatin1Char(','));
}

TEST(NumberFormatTable, LevelsAndRanges) {
  SetDecimalSeparator(QLatin1Char(','));
  struct Case {
    double v;
    int level;
    const char* expected;
  };
  const Case cases[] = {
      {kHalfPi, 0, "1,571"},
      {kHalfPi, 2, "1,57080"},
      {-42.126, 0, "-42,13"},
      {123.456, 0, "123,5"},
      {1234.5678, 0, "1235"},
      {1234.5678, 1, "1234,6"},
      {0.01, 0, "0,010"},
      {0.0099, 0, "9,90E-3"},
      {12345.0, 0, "1,23E+4"},
      {0.0, 3, "0"},
      {std::nan(""), 0, "#Nombre!"},
      {1e-7, 1, "1,000E-07"},
      {kHalfPi, 12, "1,57079632679"},  // level capped at 8
      // Level -1, the angle box: no decimals above 100, one above 10, two
      // from 0.01 to 10, scientific below, "0" for zero.
      {123.4, -1, "123"},
      {-12.34, -1, "-12,3"},
      {1.234, -1, "1,23"},
      {0.001234, -1, "1,2E-3"},
      {0.0, -1, "0"},
      {179.6, -2, "180"},  // level floored at -1
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatTable(c.v, c.level).toStdString(), c.expected) << c.v << " level " << c.level;
}

TEST(NumberParsing, AcceptsBothSeparatorsAndRejectsGarbage) {
  SetDecimalSeparator(QLatin1Char(','));
  double v = -7;
  EXPECT_TRUE(TryParseFloat(QStringLiteral("1,5"), v));
  EXPECT_DOUBLE_EQ(v, 1.5);
  EXPECT_TRUE(TryParseFloat(QStringLiteral(" 2.25 "), v));
  EXPECT_DOUBLE_EQ(v, 2.25);
  EXPECT_TRUE(TryParseFloat(QStringLiteral("-3e2"), v));
  EXPECT_DOUBLE_EQ(v, -300);
  for (const char* bad : {"", "abc", "1,2,3", "1.2.3", "inf", "nan", "1 2"}) {
    v = 42;
    EXPECT_FALSE(TryParseFloat(QString::fromLatin1(bad), v)) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
  EXPECT_EQ(NormalizeDecimalSeparators(QStringLiteral("1.5;2,5")), QStringLiteral("1,5;2,5"));
}

}  // namespace
}  // namespace mlb
