#include "kinematics/UnitLeastSquares.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mlb {

namespace {

constexpr double kTiny = 1e-100;

// Working store of the current fit, reused between calls to avoid allocations.
struct FitState {
  std::size_t n = 0;
  int p = 0;
  TDoubleDynArray u;       // abscissas mapped onto -1..1
  TDoubleDynArray design;  // n x p, row-major: T_j(u_i)
  TDoubleDynArray normal;  // p x p
  TDoubleDynArray rhs;     // p
  TDoubleDynArray fitted;  // n
  TDoubleDynArray ordinates;
  double rss = 0.0;
  double sd = 0.0;
  bool valid = false;
};

FitState& State() {
  static thread_local FitState s;
  return s;
}

// Solves M c = r (p x p, row-major) by LU decomposition with complete
// pivoting. False when a pivot is below kTiny.
bool SolveCompletePivot(TDoubleDynArray m, TDoubleDynArray r, int p, TDoubleDynArray& c) {
  std::vector<int> col(static_cast<std::size_t>(p));
  std::iota(col.begin(), col.end(), 0);
  auto at = [&](int i, int j) -> double& { return m[static_cast<std::size_t>(i * p + j)]; };
  for (int k = 0; k < p; ++k) {
    int pi = k, pj = k;
    double best = -1.0;
    for (int i = k; i < p; ++i)
      for (int j = k; j < p; ++j)
        if (std::abs(at(i, j)) > best) best = std::abs(at(i, j)), pi = i, pj = j;
    if (!(best >= kTiny)) return false;
    if (pi != k) {
      for (int j = 0; j < p; ++j) std::swap(at(k, j), at(pi, j));
      std::swap(r[static_cast<std::size_t>(k)], r[static_cast<std::size_t>(pi)]);
    }
    if (pj != k) {
      for (int i = 0; i < p; ++i) std::swap(at(i, k), at(i, pj));
      std::swap(col[static_cast<std::size_t>(k)], col[static_cast<std::size_t>(pj)]);
    }
    for (int i = k + 1; i < p; ++i) {
      const double f = at(i, k) / at(k, k);
      at(i, k) = f;
      for (int j = k + 1; j < p; ++j) at(i, j) -= f * at(k, j);
      r[static_cast<std::size_t>(i)] -= f * r[static_cast<std::size_t>(k)];
    }
  }
  TDoubleDynArray y(static_cast<std::size_t>(p));
  for (int i = p - 1; i >= 0; --i) {
    double s = r[static_cast<std::size_t>(i)];
    for (int j = i + 1; j < p; ++j) s -= at(i, j) * y[static_cast<std::size_t>(j)];
    y[static_cast<std::size_t>(i)] = s / at(i, i);
  }
  c.assign(static_cast<std::size_t>(p), 0.0);
  for (int i = 0; i < p; ++i)
    c[static_cast<std::size_t>(col[static_cast<std::size_t>(i)])] = y[static_cast<std::size_t>(i)];
  return true;
}

}  // namespace

int PolyFit(int /*kind*/, int coefficientCount, const TDoubleDynArray& X, const TDoubleDynArray& Y,
            TDoubleDynArray& coefficients) {
  FitState& st = State();
  st.valid = false;
  const std::size_t n = std::min(X.size(), Y.size());
  if (n < 2) return pfTooFewPoints;
  int p = coefficientCount;
  if (p > static_cast<int>(n)) p = static_cast<int>(n) - 1;
  if (p < 1) return pfNoCoefficient;

  const auto [mn, mx] = std::minmax_element(X.begin(), X.begin() + static_cast<long>(n));
  const double xmin = *mn, xmax = *mx;
  if (!(std::abs(xmax - xmin) >= kTiny)) return pfSameAbscissa;
  const double s = 2.0 / (xmax - xmin);
  const double o = -(xmax + xmin) * s / 2.0;

  st.n = n;
  st.p = p;
  st.u.resize(n);
  st.design.resize(n * static_cast<std::size_t>(p));
  for (std::size_t i = 0; i < n; ++i) {
    const double u = s * X[i] + o;
    st.u[i] = u;
    double* row = &st.design[i * static_cast<std::size_t>(p)];
    row[0] = 1.0;
    if (p > 1) row[1] = u;
    for (int j = 2; j < p; ++j) row[j] = 2.0 * u * row[j - 1] - row[j - 2];
  }
  const std::size_t pp = static_cast<std::size_t>(p);
  st.normal.assign(pp * pp, 0.0);
  st.rhs.assign(pp, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    const double* row = &st.design[i * pp];
    for (std::size_t j = 0; j < pp; ++j) {
      st.rhs[j] += Y[i] * row[j];
      for (std::size_t k = j; k < pp; ++k) st.normal[j * pp + k] += row[j] * row[k];
    }
  }
  for (std::size_t j = 0; j < pp; ++j)
    for (std::size_t k = 0; k < j; ++k) st.normal[j * pp + k] = st.normal[k * pp + j];

  TDoubleDynArray c;
  if (!SolveCompletePivot(st.normal, st.rhs, p, c)) return pfSingular;

  st.fitted.resize(n);
  st.ordinates.assign(Y.begin(), Y.begin() + static_cast<long>(n));
  st.rss = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double* row = &st.design[i * pp];
    double f = 0.0;
    for (std::size_t j = 0; j < pp; ++j) f += c[j] * row[j];
    st.fitted[i] = f;
    st.rss += (f - Y[i]) * (f - Y[i]);
  }
  st.sd = n > pp ? std::sqrt(st.rss / static_cast<double>(n - pp)) : 0.0;
  st.valid = true;

  // Chebyshev basis in u = s x + o to powers of x: T_j(s x + o) expanded with
  // the recurrence on coefficient vectors.
  TDoubleDynArray a(pp, 0.0), tPrev(pp, 0.0), tCur(pp, 0.0), tNext(pp, 0.0);
  tPrev[0] = 1.0;  // T0
  a[0] += c[0];
  if (p > 1) {
    tCur[0] = o;  // T1 = s x + o
    tCur[1] = s;
    for (std::size_t k = 0; k < pp; ++k) a[k] += c[1] * tCur[k];
  }
  for (std::size_t j = 2; j < pp; ++j) {
    std::fill(tNext.begin(), tNext.end(), 0.0);
    for (std::size_t k = 0; k < pp; ++k) {
      tNext[k] += 2.0 * o * tCur[k] - tPrev[k];
      if (k + 1 < pp) tNext[k + 1] += 2.0 * s * tCur[k];
    }
    tPrev.swap(tCur);
    tCur.swap(tNext);
    for (std::size_t k = 0; k < pp; ++k) a[k] += c[j] * tCur[k];
  }
  coefficients = std::move(a);
  return pfOk;
}

double LastFitR2() {
  const FitState& st = State();
  if (!st.valid) return 0.0;
  double sf = 0.0, sy = 0.0;
  for (std::size_t i = 0; i < st.n; ++i) {
    sf += st.fitted[i] * st.fitted[i];
    sy += st.ordinates[i] * st.ordinates[i];
  }
  if (sy < kTiny) return 0.0;
  return sf / sy;
}

double Mean(const TDoubleDynArray& v) {
  return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double LastFitStdDev() {
  return State().valid ? State().sd : 0.0;
}

}  // namespace mlb
