#include "kinematics/UnitDeriv.h"

#include <cmath>
#include <numeric>

#include "kinematics/UnitLeastSquares.h"

namespace mlb {

namespace {

TDoubleDynArray Centered(const TDoubleDynArray& v) {
  const double m = Mean(v);
  TDoubleDynArray c(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) c[i] = v[i] - m;
  return c;
}

double Rms(const TDoubleDynArray& c) {
  double s = 0.0;
  for (double x : c) s += x * x;
  return c.empty() ? 0.0 : std::sqrt(s / static_cast<double>(c.size()));
}

// Chooses the fit rank (1 = line ... 4 = quartic) of a centered series: the
// first rank whose fit explains more than 99 % of the variance, 4 at most.
// Returns a non-zero PolyFit status on failure.
int ChooseFitRank(const TDoubleDynArray& X, const TDoubleDynArray& c, int& rank,
                  TDoubleDynArray& coefficients) {
  rank = 0;
  do {
    ++rank;
    const int status = PolyFit(0, rank + 1, X, c, coefficients);
    if (status != 0) return status;
  } while (!(LastFitR2() > 0.99) && rank != 4);
  return 0;
}

// Lagrange derivative at x of the parabola through three points.
double LagrangeSlope(double x, double x0, double x1, double x2, double v0, double v1, double v2) {
  return v0 * ((x - x1) + (x - x2)) / ((x0 - x1) * (x0 - x2)) +
         v1 * ((x - x0) + (x - x2)) / ((x1 - x0) * (x1 - x2)) +
         v2 * ((x - x0) + (x - x1)) / ((x2 - x0) * (x2 - x1));
}

}  // namespace

TDoubleDynArray ThreePointDerivative(const TDoubleDynArray& X, const TDoubleDynArray& V, double h) {
  const std::size_t n = V.size();
  TDoubleDynArray D(n, 0.0);
  if (n < 3) return D;
  // The ends use the second-order one-sided formula of the parabola through
  // the three end points; with equal spacing it is (-3 V0 + 4 V1 - V2) / 2.
  D[0] = LagrangeSlope(X[0], X[0], X[1], X[2], V[0], V[1], V[2]) / h;
  for (std::size_t i = 1; i + 1 < n; ++i) D[i] = (V[i + 1] - V[i - 1]) / (X[i + 1] - X[i - 1]) / h;
  D[n - 1] =
      LagrangeSlope(X[n - 1], X[n - 3], X[n - 2], X[n - 1], V[n - 3], V[n - 2], V[n - 1]) / h;
  return D;
}

TDoubleDynArray PolynomialDerivative(const TDoubleDynArray& a, const TDoubleDynArray& X, double h) {
  TDoubleDynArray D(X.size(), 0.0);
  const std::size_t m = a.empty() ? 0 : a.size() - 1;
  if (m == 0) return D;
  for (std::size_t i = 0; i < X.size(); ++i) {
    double d = static_cast<double>(m) * a[m];
    for (std::size_t k = m - 1; k >= 1; --k) d = d * X[i] + static_cast<double>(k) * a[k];
    D[i] = d / h;
  }
  return D;
}

TDoubleDynArray BlendedPolynomialDerivative(const TDoubleDynArray& a, const TDoubleDynArray& X,
                                            const TDoubleDynArray& V, double h) {
  TDoubleDynArray P = PolynomialDerivative(a, X, h);
  const TDoubleDynArray F = ThreePointDerivative(X, V, h);
  for (std::size_t i = 0; i < P.size(); ++i) P[i] = P[i] + 0.02 * (P[i] - F[i]);
  return P;
}

// Least-squares slope through three consecutive points, each output taking
// the slope of the window centred on it; the first and last outputs share the
// slope of the first and last window.
TDoubleDynArray SlidingLineDerivative(const TDoubleDynArray& X, const TDoubleDynArray& V,
                                      double h) {
  const std::size_t n = V.size();
  TDoubleDynArray D(n, 0.0);
  if (n < 3) return D;
  auto slope = [&](std::size_t c) {
    const double mx = (X[c - 1] + X[c] + X[c + 1]) / 3.0;
    const double my = (V[c - 1] + V[c] + V[c + 1]) / 3.0;
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t i = c - 1; i <= c + 1; ++i) {
      sxy += (X[i] - mx) * (V[i] - my);
      sxx += (X[i] - mx) * (X[i] - mx);
    }
    return sxx > 0 ? sxy / sxx / h : 0.0;
  };
  for (std::size_t c = 1; c + 1 < n; ++c) D[c] = slope(c);
  D[0] = D[1];
  D[n - 1] = D[n - 2];
  return D;
}

void TDeriv::Init(const TDoubleDynArray& abscissa, const TDoubleDynArray& values, double period) {
  FAbscissa = abscissa;
  FValues = values;
  FPeriod = period;
  First.assign(values.size(), 0.0);
  Second.assign(values.size(), 0.0);
}

int TDeriv::Derive(bool smooth) {
  const std::size_t n = FValues.size();
  if (n <= 2) return dsTooFewValues;
  if (FAbscissa.size() != n || !(FPeriod > 0) || !std::isfinite(FPeriod)) return dsBadAbscissa;
  for (std::size_t i = 1; i < n; ++i)
    if (!(FAbscissa[i] > FAbscissa[i - 1])) return dsBadAbscissa;
  const TDoubleDynArray& X = FAbscissa;
  const double h = FPeriod;

  if (!smooth) {
    First = ThreePointDerivative(X, FValues, h);
    Second = ThreePointDerivative(X, First, h);
    return dsOk;
  }

  // Fit rank of the values: 0 for an (almost) constant series.
  TDoubleDynArray coefficients;
  int j = 0;
  const TDoubleDynArray c = Centered(FValues);
  if (!(Rms(c) < 0.01)) {
    const int status = ChooseFitRank(X, c, j, coefficients);
    if (status != 0) return status;
  }

  if (j <= 1)
    First = SlidingLineDerivative(X, FValues, h);
  else if (j <= 3)
    First = BlendedPolynomialDerivative(coefficients, X, FValues, h);
  else
    First = ThreePointDerivative(X, FValues, h);

  const TDoubleDynArray zero{0.0};
  if (j == 0) {
    Second = BlendedPolynomialDerivative(zero, X, First, h);
  } else if (j == 1) {
    if (Rms(Centered(First)) < 0.1) {
      Second = BlendedPolynomialDerivative(zero, X, First, h);
    } else {
      First = ThreePointDerivative(X, FValues, h);
      Second = ThreePointDerivative(X, First, h);
    }
  } else {
    int u = 0;
    const int status = ChooseFitRank(X, Centered(First), u, coefficients);
    if (status != 0) return status;
    if (u == 1)
      Second = SlidingLineDerivative(X, First, h);
    else if (u <= 3)
      Second = PolynomialDerivative(coefficients, X, h);
    else
      Second = ThreePointDerivative(X, First, h);
  }
  return dsOk;
}

}  // namespace mlb
