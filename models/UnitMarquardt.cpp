#include "models/UnitMarquardt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace mlb {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kCap = 1e30;
constexpr double kPivotMin = 2.22e-16;
constexpr double kGolden = 1.6180339887498948;
constexpr double kGoldenSplit = 0.38196601125010515;

struct Fault {};  // a floating-point fault inside one fit

// The fitted function and its partial derivatives.
class Model {
 public:
  Model(int code, const TDoubleDynArray& X, const TDoubleDynArray& Y) : code_(code), X_(X), Y_(Y) {}

  int Size() const { return code_ == mmExponential || code_ == mmSine ? 3 : 4; }

  void Prepare(const std::vector<double>& p) {
    stop_ = code_ == mmSineLin ? SinusAlStopTime(p[0], p[1], p[2], p[3])
                               : std::numeric_limits<double>::infinity();
  }

  double Value(const std::vector<double>& p, double x) const {
    switch (code_) {
      case mmExponential:
        return p[0] + p[1] * std::exp(p[2] * x);
      case mmSine:
        return p[0] * std::sin(p[1] * x + p[2]);
      case mmSineExp:
        return p[0] * std::sin(p[1] * x + p[2]) * std::exp(p[3] * x);
      default:
        return SinusAlValue(p[0], p[1], p[2], p[3], x, stop_);
    }
  }

  void Partials(const std::vector<double>& p, double x, double* J) const {
    switch (code_) {
      case mmExponential: {
        const double e = std::exp(p[2] * x);
        J[0] = 1, J[1] = e, J[2] = p[1] * x * e;
        break;
      }
      case mmSine: {
        const double u = p[1] * x + p[2];
        J[0] = std::sin(u), J[1] = p[0] * x * std::cos(u), J[2] = p[0] * std::cos(u);
        break;
      }
      case mmSineExp: {
        const double u = p[1] * x + p[2], e = std::exp(p[3] * x);
        J[0] = std::sin(u) * e, J[1] = p[0] * x * std::cos(u) * e, J[2] = p[0] * std::cos(u) * e;
        J[3] = p[0] * std::sin(u) * x * e;
        break;
      }
      default: {
        // Frozen after the stop, where the slope in t is zero: the partials
        // are those of the formula at min(x, stop).
        const double t = std::min(x, stop_);
        const double u = p[1] * t + p[2], env = 1 + p[3] * t;
        J[0] = std::sin(u) * env, J[1] = p[0] * t * std::cos(u) * env;
        J[2] = p[0] * std::cos(u) * env, J[3] = p[0] * std::sin(u) * t;
      }
    }
  }

  // Sum of squared residuals, capped at 1e30.
  double Objective(std::vector<double> p) {
    Prepare(p);
    double s = 0;
    for (std::size_t i = 0; i < X_.size(); ++i) {
      const double r = Y_[i] - Value(p, X_[i]);
      if (std::isnan(r)) throw Fault{};
      s += r * r;
      if (!(s <= kCap)) return kCap;
    }
    return s;
  }

  void GradientAndNormal(const std::vector<double>& p, std::vector<double>& g,
                         std::vector<double>& H) {
    const int n = Size();
    Prepare(p);
    g.assign(static_cast<std::size_t>(n), 0.0);
    H.assign(static_cast<std::size_t>(n * n), 0.0);
    double J[4];
    for (std::size_t i = 0; i < X_.size(); ++i) {
      const double r = Y_[i] - Value(p, X_[i]);
      Partials(p, X_[i], J);
      for (int a = 0; a < n; ++a) {
        g[static_cast<std::size_t>(a)] += r * J[a];
        for (int b = 0; b < n; ++b) H[static_cast<std::size_t>(a * n + b)] += J[a] * J[b];
      }
    }
    for (double v : g)
      if (!std::isfinite(v)) throw Fault{};
    for (double v : H)
      if (!std::isfinite(v)) throw Fault{};
  }

 private:
  int code_;
  const TDoubleDynArray& X_;
  const TDoubleDynArray& Y_;
  double stop_ = std::numeric_limits<double>::infinity();
};

// Solves A x = b (n x n) by Gauss-Jordan elimination with complete pivoting.
bool GaussJordan(std::vector<double> A, std::vector<double> b, int n, std::vector<double>& x) {
  std::vector<int> col(static_cast<std::size_t>(n));
  std::iota(col.begin(), col.end(), 0);
  auto at = [&](int i, int j) -> double& { return A[static_cast<std::size_t>(i * n + j)]; };
  for (int k = 0; k < n; ++k) {
    int pi = k, pj = k;
    double best = -1;
    for (int i = k; i < n; ++i)
      for (int j = k; j < n; ++j)
        if (std::abs(at(i, j)) > best) best = std::abs(at(i, j)), pi = i, pj = j;
    if (!(best >= kPivotMin)) return false;
    if (pi != k) {
      for (int j = 0; j < n; ++j) std::swap(at(k, j), at(pi, j));
      std::swap(b[static_cast<std::size_t>(k)], b[static_cast<std::size_t>(pi)]);
    }
    if (pj != k) {
      for (int i = 0; i < n; ++i) std::swap(at(i, k), at(i, pj));
      std::swap(col[static_cast<std::size_t>(k)], col[static_cast<std::size_t>(pj)]);
    }
    const double piv = at(k, k);
    for (int j = 0; j < n; ++j) at(k, j) /= piv;
    b[static_cast<std::size_t>(k)] /= piv;
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const double f = at(i, k);
      if (f == 0) continue;
      for (int j = 0; j < n; ++j) at(i, j) -= f * at(k, j);
      b[static_cast<std::size_t>(i)] -= f * b[static_cast<std::size_t>(k)];
    }
  }
  x.assign(static_cast<std::size_t>(n), 0.0);
  for (int i = 0; i < n; ++i)
    x[static_cast<std::size_t>(col[static_cast<std::size_t>(i)])] = b[static_cast<std::size_t>(i)];
  for (double v : x)
    if (!std::isfinite(v)) throw Fault{};
  return true;
}

std::vector<double> Along(const std::vector<double>& base, const std::vector<double>& d, double s) {
  std::vector<double> p(base.size());
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = base[i] + s * d[i];
  return p;
}

// Line search along d from base; status 0 or msIterationLimit.
int LineSearch(Model& m, const std::vector<double>& base, const std::vector<double>& d,
               std::vector<double>& p, double& value) {
  auto phi = [&](double s) { return m.Objective(Along(base, d, s)); };
  double a = 0, c = 1, fa = phi(a), fc = phi(c);
  if (fa < fc) std::swap(a, c), std::swap(fa, fc);
  double e = c + kGolden * (c - a), fe = phi(e);
  int guard = 0;
  while (fe < fc) {
    a = c, fa = fc;
    c = e, fc = fe;
    e = c + kGolden * (c - a);
    fe = phi(e);
    if (++guard > 100) return msIterationLimit;
  }
  // Golden section in [a, e] around c.
  double x0 = a, x3 = e, x1, x2;
  if (std::abs(e - c) > std::abs(c - a)) {
    x1 = c;
    x2 = c + kGoldenSplit * (e - c);
  } else {
    x2 = c;
    x1 = c - kGoldenSplit * (c - a);
  }
  double f1 = phi(x1), f2 = phi(x2);
  const double tol = std::max(0.01, 1.4901161193847656e-8);
  int iterations = 0;
  while (std::abs(x3 - x0) > tol * (std::abs(x1) + std::abs(x2))) {
    if (++iterations > 100) return msIterationLimit;
    if (f2 < f1) {
      x0 = x1;
      x1 = x2;
      x2 = x1 + kGoldenSplit * (x3 - x1);
      f1 = f2;
      f2 = phi(x2);
    } else {
      x3 = x2;
      x2 = x1;
      x1 = x2 - kGoldenSplit * (x2 - x0);
      f2 = f1;
      f1 = phi(x1);
    }
  }
  const double s = f1 < f2 ? x1 : x2;
  value = f1 < f2 ? f1 : f2;
  p = Along(base, d, s);
  return 0;
}

double MaxAbs(const TDoubleDynArray& v) {
  double m = 0;
  for (double x : v) m = std::max(m, std::abs(x));
  return m;
}

}  // namespace

double FrequencyEstimate(const TDoubleDynArray& X, const TDoubleDynArray& Y, double def) {
  const std::size_t n = std::min(X.size(), Y.size());
  auto sign = [](double v) { return (v > 0) - (v < 0); };
  int changes = 0;
  double first = 0;
  for (std::size_t i = 1; i < n; ++i) {
    if (sign(Y[i]) == sign(Y[i - 1])) continue;
    const double mid = (X[i - 1] + X[i]) / 2;
    if (++changes == 1) {
      first = mid;
    } else {
      const double d = mid - first;
      return d != 0 ? kPi / d : def;
    }
  }
  return def;
}

double SinusAlStopTime(double b, double c, double d, double k) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  if (!(k < 0) || std::abs(k) < 1e-100 || !(c > 0)) return inf;
  const double te = -1 / k, q = kPi / (2 * c);
  auto slope = [&](double t) {
    return c * std::cos(c * t + d) * (1 + k * t) + k * std::sin(c * t + d);
  };
  auto bisect = [&](double lo, double hi, int halvings, double& root) {
    double flo = slope(lo), fhi = slope(hi);
    if (!std::isfinite(flo) || !std::isfinite(fhi) || (flo > 0) == (fhi > 0)) return false;
    for (int i = 0; i < halvings; ++i) {
      const double mid = (lo + hi) / 2, fm = slope(mid);
      if (std::abs(fm) < 1e-9) {
        root = mid;
        return true;
      }
      if ((fm > 0) == (flo > 0))
        lo = mid, flo = fm;
      else
        hi = mid;
    }
    root = (lo + hi) / 2;
    return true;
  };
  double ts = 0;
  const double band = std::abs(b) * std::abs(k) * kPi / (2 * c);
  if (bisect(te - 2 * q, te - q, 24, ts) &&
      std::abs(b * std::sin(c * ts + d) * (1 + k * ts)) <= band)
    return ts;
  if (bisect(te - q, te, 30, ts)) return ts;
  return te;  // no turning point found: stop where the envelope vanishes
}

double SinusAlValue(double b, double c, double d, double k, double t, double stop) {
  const double x = std::min(t, stop);
  return b * std::sin(c * x + d) * (1 + k * x);
}

int MarquardtFit(const TDoubleDynArray& Xin, const TDoubleDynArray& Yin, int code,
                 TDoubleDynArray& params, int* iterations) {
  if (code != mmExponential && code != mmSine && code != mmSineExp && code != mmSineLin)
    return msTooFewPoints;
  const std::size_t n = std::min(Xin.size(), Yin.size());
  const std::size_t nParams = code == mmExponential || code == mmSine ? 3 : 4;
  if (n < nParams) return msTooFewPoints;
  TDoubleDynArray X(Xin.begin(), Xin.begin() + static_cast<long>(n));
  TDoubleDynArray Y(Yin.begin(), Yin.begin() + static_cast<long>(n));
  try {
    double offset = 0;
    if (code == mmSine) {
      const auto [mn, mx] = std::minmax_element(Y.begin(), Y.end());
      offset = (*mx + *mn) / 2;
    } else if (code != mmExponential) {
      offset = std::accumulate(Y.begin(), Y.end(), 0.0) / static_cast<double>(n);
    }
    for (double& y : Y) y -= offset;
    for (double v : X)
      if (!std::isfinite(v)) return msFault;
    for (double v : Y)
      if (!std::isfinite(v)) return msFault;

    // Initial estimates.
    std::vector<double> p;
    const std::size_t L = n - 1, m = L / 2;
    if (code == mmExponential) {
      // The curve bends up (convex) or down. A rise that steepens or a fall
      // that flattens... is told apart by comparing the bend with the
      // direction: growing exponentials bend the way they go.
      const bool convex = Y[L] - Y[m] > Y[m] - Y[0];
      const bool rising = Y[L] > Y[0];
      if (convex == rising)
        p = {Y[0], Y[L] - Y[0], 1};  // moving away from the asymptote ever faster
      else
        p = {Y[L], Y[0] - Y[L], -1};  // settling towards Y[L]
    } else {
      const double amp = MaxAbs(Y);
      const double maxX = *std::max_element(X.begin(), X.end());
      const double omega = std::abs(maxX) < 1e-100 ? 0 : FrequencyEstimate(X, Y, 2 * kPi / maxX);
      const double phase = amp == 0 ? 0 : std::asin(std::clamp(Y[0] / amp, -1.0, 1.0));
      p = {amp, omega, phase};
      if (code != mmSine) p.push_back(-0.05);
    }

    Model model(code, X, Y);
    const int np = model.Size();
    double lambda = 0.01;
    double S = model.Objective(p);
    int status = 1;  // none yet
    bool converged = false;
    std::vector<double> g, H, delta, saved, trial;
    for (int iteration = 1;; ++iteration) {
      if (iterations) *iterations = iteration;
      saved = p;
      model.GradientAndNormal(p, g, H);
      if (converged) {
        if (GaussJordan(H, g, np, delta)) p = Along(saved, delta, 1);
        status = msConverged;
        break;
      }
      double Snew = S;
      for (;;) {
        std::vector<double> damped = H;
        for (int i = 0; i < np; ++i) damped[static_cast<std::size_t>(i * np + i)] *= 1 + lambda;
        if (!GaussJordan(damped, g, np, delta)) {
          status = msSingular;
          break;
        }
        if (LineSearch(model, saved, delta, trial, Snew) != 0) {
          status = msIterationLimit;
          break;
        }
        if (Snew - S < 1e-10 * S) {
          p = trial;
          break;
        }
        lambda *= 10;
        if (lambda > 1000) {
          status = msDampingLimit;
          break;
        }
      }
      if (status != 1) break;
      converged = true;
      for (int i = 0; i < np; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!(std::abs(p[k] - saved[k]) < std::max(std::abs(saved[k]) * 1e-5, 1e-5)))
          converged = false;
      }
      lambda /= 10;
      S = Snew;
      if (iteration + 1 > 50) {
        status = msIterationLimit;
        break;
      }
    }
    for (double v : p)
      if (!std::isfinite(v)) return msFault;

    if (code == mmExponential) {
      params = {p[0], p[1], p[2]};
      return status;
    }
    // Repairs: a positive amplitude and angular frequency.
    if (!(p[0] > 0)) p[0] = MaxAbs(Y);
    if (!(p[1] > 0)) {
      const double maxX = *std::max_element(X.begin(), X.end());
      p[1] = std::abs(maxX) < 1e-100 ? 0 : FrequencyEstimate(X, Y, 2 * kPi / maxX);
    }
    params = {offset, p[0], p[1], p[2]};
    if (code != mmSine) params.push_back(p[3]);
    return status;
  } catch (const Fault&) {
    return msFault;
  }
}

}  // namespace mlb
