#include <cmath>

#include <gtest/gtest.h>

#include "kinematics/UnitDeriv.h"
#include "kinematics/UnitLeastSquares.h"

namespace mlb {
namespace {

TDoubleDynArray Range(int n, double from = 0, double step = 1) {
  TDoubleDynArray x(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) x[static_cast<std::size_t>(i)] = from + i * step;
  return x;
}

template <class F>
TDoubleDynArray Map(const TDoubleDynArray& x, F f) {
  TDoubleDynArray y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) y[i] = f(x[i]);
  return y;
}

void ExpectNear(const TDoubleDynArray& a, const TDoubleDynArray& b, double tol) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], tol) << "index " << i;
}

TEST(ThreePointDerivative, ExactOnParabolaAndOnLinesWithGaps) {
  const double h = 0.04;
  const TDoubleDynArray x = Range(6);
  const auto v = Map(x, [](double t) { return 3 - 2 * t + 0.5 * t * t; });
  ExpectNear(ThreePointDerivative(x, v, h), Map(x, [&](double t) { return (-2 + t) / h; }), 1e-9);
  // One-sided ends with a gap: X = 0, 1, 3 and V = X has slope 1 everywhere.
  const TDoubleDynArray gx{0, 1, 3};
  ExpectNear(ThreePointDerivative(gx, gx, 1.0), {1, 1, 1}, 1e-12);
  const TDoubleDynArray gx2{0, 2, 3, 7};
  ExpectNear(ThreePointDerivative(gx2, Map(gx2, [](double t) { return 5 * t; }), 1.0), {5, 5, 5, 5},
             1e-12);
}

TEST(Deriv, WithoutSmoothingExactOnPolynomialsUpToDegreeTwo) {
  const double h = 0.02;
  const TDoubleDynArray x = Range(3);  // the smallest series: ends and one centre
  for (auto [a, b, c] : {std::tuple{1.0, 0.0, 0.0}, {0.0, 2.0, 0.0}, {0.5, -1.0, 3.0}}) {
    TDeriv d;
    d.Init(x, Map(x, [&](double t) { return a + b * t + c * t * t; }), h);
    ASSERT_EQ(d.Derive(false), 0);
    ExpectNear(d.First, Map(x, [&](double t) { return (b + 2 * c * t) / h; }), 1e-9);
    ExpectNear(d.Second, TDoubleDynArray(3, 2 * c / (h * h)), 1e-6);
  }
}

TEST(Deriv, RefusesShortSeriesBadPeriodAndUnorderedAbscissas) {
  TDeriv d;
  d.Init({0, 1}, {1, 2}, 0.04);
  EXPECT_EQ(d.Derive(false), dsTooFewValues);
  d.Init({0, 1, 2}, {1, 2, 3}, 0.0);
  EXPECT_EQ(d.Derive(true), dsBadAbscissa);
  d.Init({0, 2, 2}, {1, 2, 3}, 0.04);
  EXPECT_EQ(d.Derive(false), dsBadAbscissa);
  d.Init({0, 3, 1}, {1, 2, 3}, 0.04);
  EXPECT_EQ(d.Derive(false), dsBadAbscissa);
}

TEST(Deriv, SmoothingPathsByFitRank) {
  const double h = 1.0;
  const TDoubleDynArray x = Range(40);
  TDeriv d;
  // Rank 0: constant series; First is the sliding slope, Second -0.02 x TPD(First).
  d.Init(x, TDoubleDynArray(40, 0.3), h);
  ASSERT_EQ(d.Derive(true), 0);
  ExpectNear(d.First, TDoubleDynArray(40, 0.0), 1e-12);
  ExpectNear(d.Second, TDoubleDynArray(40, 0.0), 1e-12);

  // Rank 1, uniform motion: sliding slope, second derivative blended to ~0.
  const auto line = Map(x, [](double t) { return 0.01 * t; });
  d.Init(x, line, h);
  ASSERT_EQ(d.Derive(true), 0);
  ExpectNear(d.First, SlidingLineDerivative(x, line, h), 1e-12);
  ExpectNear(d.Second, TDoubleDynArray(40, 0.0), 1e-12);

  // Rank 1 with a first derivative that varies by more than 0.1 RMS: plain
  // finite differences of the values.
  const auto wobble = Map(x, [](double t) { return 10 * t + 0.3 * std::sin(t); });
  d.Init(x, wobble, h);
  ASSERT_EQ(d.Derive(true), 0);
  const auto f = ThreePointDerivative(x, wobble, h);
  ExpectNear(d.First, f, 1e-12);
  ExpectNear(d.Second, ThreePointDerivative(x, f, h), 1e-12);

  // Rank 2, uniformly accelerated: the parabola's derivative, then the
  // sliding slope of a linear First: exact.
  const auto parab = Map(x, [](double t) { return 0.002 * t * t; });
  d.Init(x, parab, h);
  ASSERT_EQ(d.Derive(true), 0);
  ExpectNear(d.First, Map(x, [](double t) { return 0.004 * t; }), 1e-9);
  ExpectNear(d.Second, TDoubleDynArray(40, 0.004), 1e-9);

  // Rank 4: nothing polynomial explains the series; finite differences.
  const auto wave = Map(x, [](double t) { return std::sin(t * 1.3); });
  d.Init(x, wave, h);
  ASSERT_EQ(d.Derive(true), 0);
  ExpectNear(d.First, ThreePointDerivative(x, wave, h), 1e-12);
}

TEST(PolyFit, RecoversPowerCoefficientsOnOffsetAbscissas) {
  const TDoubleDynArray x = Range(12, 100, 0.5);
  const auto y = Map(x, [](double t) { return 4 - 0.5 * t + 0.01 * t * t - 1e-5 * t * t * t; });
  TDoubleDynArray a;
  ASSERT_EQ(PolyFit(0, 4, x, y, a), 0);
  ASSERT_EQ(a.size(), 4u);
  // Compare values rather than coefficients: the basis change amplifies rounding.
  for (double t : x)
    EXPECT_NEAR(a[0] + a[1] * t + a[2] * t * t + a[3] * t * t * t,
                4 - 0.5 * t + 0.01 * t * t - 1e-5 * t * t * t, 1e-7);
  EXPECT_NEAR(LastFitStdDev(), 0.0, 1e-9);
}

TEST(PolyFit, StatusesAndReducedCoefficientCount) {
  TDoubleDynArray a{42};
  EXPECT_EQ(PolyFit(0, 2, {1}, {1}, a), pfTooFewPoints);
  EXPECT_EQ(PolyFit(0, 0, {1, 2}, {1, 2}, a), pfNoCoefficient);
  EXPECT_EQ(PolyFit(0, 2, {3, 3, 3}, {1, 2, 3}, a), pfSameAbscissa);
  EXPECT_EQ(PolyFit(0, 3, {0, 0, 1, 1}, {1, 1, 2, 2}, a), pfSingular);
  EXPECT_EQ(a, TDoubleDynArray{42});                     // unchanged on failure
  ASSERT_EQ(PolyFit(0, 4, {0, 1, 2}, {1, 3, 5}, a), 0);  // 3 points, 4 coefficients: a line
  ASSERT_EQ(a.size(), 2u);
  EXPECT_NEAR(a[0], 1, 1e-12);
  EXPECT_NEAR(a[1], 2, 1e-12);
}

TEST(PolyFit, ExplainedVarianceRatio) {
  const TDoubleDynArray x = Range(9);
  TDoubleDynArray a, centered = Map(x, [](double t) { return t - 4; });
  ASSERT_EQ(PolyFit(0, 2, x, centered, a), 0);
  EXPECT_NEAR(LastFitR2(), 1.0, 1e-12);
  const TDoubleDynArray vshape = Map(x, [](double t) { return std::abs(t - 4) - 20.0 / 9; });
  ASSERT_EQ(PolyFit(0, 2, x, vshape, a), 0);
  EXPECT_NEAR(LastFitR2(), 0.0, 1e-12);  // a line explains nothing of a symmetric V
  ASSERT_EQ(PolyFit(0, 2, x, TDoubleDynArray(9, 0.0), a), 0);
  EXPECT_EQ(LastFitR2(), 0.0);
}

}  // namespace
}  // namespace mlb
