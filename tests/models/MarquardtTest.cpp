#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "models/UnitMarquardt.h"

namespace mlb {
namespace {

constexpr double kPi = std::numbers::pi;

template <class F>
void Sample(int n, double step, F f, TDoubleDynArray& X, TDoubleDynArray& Y) {
  X.clear();
  Y.clear();
  for (int i = 0; i < n; ++i) {
    X.push_back(i * step);
    Y.push_back(f(i * step));
  }
}

TEST(Marquardt, RecoversEachModelFromExactData) {
  struct Case {
    int code;
    TDoubleDynArray truth;  // in output order
    double tol;             // on the curve; the damped sine's offset is the mean, not fitted
  };
  const Case cases[] = {
      {mmExponential, {0.5, 2.0, -1.3}, 1e-6},
      {mmExponential, {-1.0, 0.2, 0.9}, 1e-6},
      {mmExponential, {3.0, -0.5, 0.7}, 1e-6},
      {mmSine, {0.0, 0.3, 4.0, 0.7}, 1e-3},  // mid-range of the samples
      {mmSineExp, {0.0, 0.3, 4.0, 0.7, -0.4}, 0.03},
  };
  for (const Case& c : cases) {
    TDoubleDynArray X, Y, p;
    const auto& t = c.truth;
    Sample(
        80, 0.05,
        [&](double x) {
          switch (c.code) {
            case mmExponential:
              return t[0] + t[1] * std::exp(t[2] * x);
            case mmSine:
              return t[0] + t[1] * std::sin(t[2] * x + t[3]);
            default:
              return t[0] + t[1] * std::sin(t[2] * x + t[3]) * std::exp(t[4] * x);
          }
        },
        X, Y);
    const int status = MarquardtFit(X, Y, c.code, p);
    EXPECT_EQ(status, 0) << c.code;
    ASSERT_EQ(p.size(), t.size());
    // Offsets of the sines are the mid-range or the mean, not iterated: compare
    // the curves rather than the parameters.
    for (std::size_t i = 0; i < X.size(); ++i) {
      const double x = X[i];
      double f;
      switch (c.code) {
        case mmExponential:
          f = p[0] + p[1] * std::exp(p[2] * x);
          break;
        case mmSine:
          f = p[0] + p[1] * std::sin(p[2] * x + p[3]);
          break;
        default:
          f = p[0] + p[1] * std::sin(p[2] * x + p[3]) * std::exp(p[4] * x);
      }
      EXPECT_NEAR(f, Y[i], std::max(c.tol, 1e-5)) << "code " << c.code << " at " << x;
    }
    if (c.code == mmExponential) {
      for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(p[k], t[k], 1e-5) << k;
    }
  }
}

TEST(Marquardt, InitialEstimatesAndEdgeCases) {
  // A rising exponential steepening in its second half starts from (Y0, YL - Y0, 1).
  TDoubleDynArray X{0, 1, 2}, Y{1, 2, 5}, p{9, 9, 9};
  EXPECT_EQ(MarquardtFit(X, Y, mmExponential, p) == msTooFewPoints, false);
  // Too few points: nothing touched.
  TDoubleDynArray q{7, 7, 7, 7};
  EXPECT_EQ(MarquardtFit({0, 1}, {1, 2}, mmSine, q), msTooFewPoints);
  EXPECT_EQ(MarquardtFit({}, {}, mmExponential, q), msTooFewPoints);
  EXPECT_EQ(q, (TDoubleDynArray{7, 7, 7, 7}));
  // A constant series: the amplitude ends at 0, nothing explodes.
  TDoubleDynArray cx, cy;
  Sample(
      20, 0.1, [](double) { return 2.5; }, cx, cy);
  ASSERT_GE(MarquardtFit(cx, cy, mmSine, q), -3);
  EXPECT_DOUBLE_EQ(q[0], 2.5);
  EXPECT_NEAR(q[1], 0.0, 1e-9);
  // Far from any model: the objective is capped and the fit still ends.
  TDoubleDynArray fx, fy;
  Sample(
      30, 1, [](double x) { return x < 15 ? 1e200 : -1e200; }, fx, fy);
  TDoubleDynArray r;
  const int s = MarquardtFit(fx, fy, mmExponential, r);
  EXPECT_TRUE(s == msFault || (s <= 0 && s >= -3));
}

TEST(Marquardt, FrequencyEstimateFromSignChanges) {
  TDoubleDynArray X, Y;
  Sample(
      100, 0.1, [](double x) { return std::sin(3 * x); }, X, Y);
  EXPECT_NEAR(FrequencyEstimate(X, Y, 1.0), 3.0, 0.15);
  // One crossing only: the default.
  EXPECT_DOUBLE_EQ(FrequencyEstimate({0, 1, 2, 3}, {1, 1, -1, -1}, 2 * kPi / 3), 2 * kPi / 3);
}

TEST(Marquardt, SolidFrictionStopsAtATurningPoint) {
  const double b = 1, c = 2 * kPi, d = 0, k = -0.2;  // envelope ends at t = 5
  const double ts = SinusAlStopTime(b, c, d, k);
  ASSERT_TRUE(std::isfinite(ts));
  EXPECT_GT(ts, 5 - 2 * 0.25 - 1e-9);
  EXPECT_LE(ts, 5.0);
  const double slope = c * std::cos(c * ts + d) * (1 + k * ts) + k * std::sin(c * ts + d);
  EXPECT_NEAR(slope, 0.0, 1e-6);
  EXPECT_DOUBLE_EQ(SinusAlValue(b, c, d, k, 7.0, ts), SinusAlValue(b, c, d, k, ts, ts));
  EXPECT_TRUE(std::isinf(SinusAlStopTime(b, c, d, 0.0)));
  // A fit of such an oscillation comes back close to its curve.
  TDoubleDynArray X, Y, p;
  Sample(
      150, 0.04, [&](double t) { return 0.1 + SinusAlValue(b, c, d, k, t, ts); }, X, Y);
  const int status = MarquardtFit(X, Y, mmSineLin, p);
  EXPECT_LE(status, 0);
  ASSERT_EQ(p.size(), 5u);
  double worst = 0;
  const double fitStop = SinusAlStopTime(p[1], p[2], p[3], p[4]);
  for (std::size_t i = 0; i < X.size(); ++i)
    worst = std::max(worst,
                     std::abs(p[0] + SinusAlValue(p[1], p[2], p[3], p[4], X[i], fitStop) - Y[i]));
  EXPECT_LT(worst, 0.05);
}

}  // namespace
}  // namespace mlb
