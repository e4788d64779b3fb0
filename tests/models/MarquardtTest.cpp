#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>

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
  // Three points of 0.5 + 0.5 exp(ln3 t): the fit starting there interpolates.
  TDoubleDynArray X{0, 1, 2}, Y{1, 2, 5}, p{9, 9, 9};
  EXPECT_EQ(MarquardtFit(X, Y, mmExponential, p), msConverged);
  EXPECT_NEAR(p[0], 0.5, 1e-6);
  EXPECT_NEAR(p[1], 0.5, 1e-6);
  EXPECT_NEAR(p[2], std::log(3.0), 1e-6);
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

namespace mlb {
namespace {

// Fixed-seed noise on known curves: the parameters come back within the noise.
TEST(MarquardtNoisy, RecoversParametersThroughNoise) {
  std::mt19937 rng(2026);
  std::normal_distribution<double> noise(0.0, 0.005);
  struct Case {
    const char* name;
    int code;
    std::function<double(double)> f;
    double xMax;
    TDoubleDynArray expected;  // in output order; the offset of the sines is not checked
    double tol;
  };
  const Case cases[] = {
      {"growth",
       mmExponential,
       [](double t) { return 0.1 + 0.05 * std::exp(0.8 * t); },
       4,
       {0.1, 0.05, 0.8},
       0.02},
      {"decay",
       mmExponential,
       [](double t) { return 20 + 60 * std::exp(-0.3 * t); },
       10,
       {20, 60, -0.3},
       0.02},
      {"few periods",
       mmSine,
       [](double t) { return 0.2 * std::sin(2.5 * t + 1.0); },
       4,
       {0, 0.2, 2.5, 1.0},
       0.02},
      {"many periods",
       mmSine,
       [](double t) { return 0.2 * std::sin(12.0 * t + 2.0); },
       6,
       {0, 0.2, 12.0, 2.0},
       0.02},
      {"damped exp",
       mmSineExp,
       [](double t) { return 0.3 * std::sin(6 * t + 0.5) * std::exp(-0.2 * t); },
       8,
       {0, 0.3, 6, 0.5, -0.2},
       0.03},
  };
  for (const Case& c : cases) {
    TDoubleDynArray X, Y, p;
    for (int i = 0; i < 400; ++i) {
      const double t = c.xMax * i / 400;
      X.push_back(t);
      Y.push_back(c.f(t) + noise(rng));
    }
    ASSERT_LE(MarquardtFit(X, Y, c.code, p), 0) << c.name;
    ASSERT_EQ(p.size(), c.expected.size()) << c.name;
    for (std::size_t k = c.code == mmExponential ? 0 : 1; k < p.size(); ++k) {
      double v = p[k];
      if (c.code != mmExponential && k == 3)
        v = std::remainder(v - c.expected[k], 2 * kPi) + c.expected[k];
      EXPECT_NEAR(v, c.expected[k], c.tol * std::max(1.0, std::abs(c.expected[k])))
          << c.name << " " << k;
    }
  }
}

TEST(MarquardtStatus, SingularSystem) {
  // Every abscissa equal: the rate of an exponential cannot be told.
  TDoubleDynArray p{5, 5, 5};
  EXPECT_EQ(MarquardtFit({0, 0, 0, 0}, {1, 2, 3, 4}, mmExponential, p), msSingular);
}

// The damped sine against an independent reference: a slow coordinate search
// on the same objective from the fit's result cannot improve it noticeably.
TEST(MarquardtReference, DampedSineAgreesWithBruteForceRefinement) {
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 0.01);
  TDoubleDynArray X, Y, p;
  for (int i = 0; i < 200; ++i) {
    const double t = i * 0.05;
    X.push_back(t);
    Y.push_back(0.4 * std::sin(3 * t + 0.2) * std::exp(-0.25 * t) + noise(rng));
  }
  ASSERT_LE(MarquardtFit(X, Y, mmSineExp, p), 0);
  const double offset = p[0];
  auto sse = [&](const std::array<double, 4>& q) {
    double s = 0;
    for (std::size_t i = 0; i < X.size(); ++i) {
      const double r = Y[i] - offset - q[0] * std::sin(q[1] * X[i] + q[2]) * std::exp(q[3] * X[i]);
      s += r * r;
    }
    return s;
  };
  std::array<double, 4> q{p[1], p[2], p[3], p[4]};
  const double fitted = sse(q);
  for (double step = 0.05; step > 1e-7; step /= 2)
    for (int round = 0; round < 20; ++round)
      for (std::size_t k = 0; k < 4; ++k)
        for (double dir : {-1.0, 1.0}) {
          auto trial = q;
          trial[k] += dir * step;
          if (sse(trial) < sse(q)) q = trial;
        }
  EXPECT_LE(fitted - sse(q), 1e-6 * fitted);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(q[k], p[k + 1], 2e-3) << k;
}

}  // namespace
}  // namespace mlb
