// The eight concrete models.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "common/UnitNumberFormat.h"
#include "kinematics/UnitLeastSquares.h"
#include "models/UnitMarquardt.h"
#include "models/UnitModeles.h"

namespace mlb {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;

double Wrap(double a) {
  if (!std::isfinite(a)) return 0;
  a = std::fmod(a, kTwoPi);
  if (a < 0) a += kTwoPi;
  return a;
}

bool Within(double v, double lo, double hi) {
  return v >= lo && v <= hi;
}

// Scale factors of the limits: pixels per unit of t and units of y per pixel.
bool LimitScales(double xMin, double xMax, double yMin, double yMax, int w, int h, double& sx,
                 double& sy) {
  const double dx = xMax - xMin;
  if (std::abs(dx) < 1e-100 || h == 0 || !std::isfinite(dx)) return false;
  sx = w / dx;
  sy = (yMax - yMin) / h;
  return std::isfinite(sx) && std::isfinite(sy);
}

// Keeps v within centre +- half (the band a handle can reach).
double Band(double v, double centre, double half) {
  return std::clamp(v, centre - std::abs(half), centre + std::abs(half));
}

// ---------------------------------------------------------------- linear models

class TMdlLineaire : public TMdl {
 public:
  explicit TMdlLineaire(int variant) : TMdl(variant == mkAffine ? 2 : 1), variant_(variant) {}
  int Kind() const override { return variant_; }
  int ParamCount() const override { return variant_ == mkAffine ? 2 : 1; }
  double R() const { return variant_ == mkProportional ? 0 : FParams[0]; }
  double B() const {
    return variant_ == mkAffine ? FParams[1] : variant_ == mkProportional ? FParams[0] : 0;
  }
  void SetRB(double r, double b) {
    if (variant_ == mkAffine)
      FParams[0] = r, FParams[1] = b;
    else if (variant_ == mkConstant)
      FParams[0] = r;
    else
      FParams[0] = b;
  }
  double Value(double t) const override { return R() + B() * t; }

 protected:
  bool IsLinear() const override { return true; }

  void Fit() override {
    TDoubleDynArray a;
    if (variant_ == mkAffine) {
      fitStatus_ = PolyFit(0, 2, FX, FY, a);
      if (fitStatus_ == 0 && a.size() == 2) SetRB(a[0], a[1]);
    } else if (variant_ == mkConstant) {
      if (!FY.empty()) SetRB(Mean(FY), 0);
    } else {
      // A ratio of means, not the least-squares slope through the origin.
      const double mt = Mean(FX), my = Mean(FY);
      if (!FX.empty() && std::abs(mt) >= 1e-100 && std::isfinite(my)) SetRB(0, my / mt);
    }
  }

  void ClampParams() override {
    double sx, sy;
    if (!LimitScales(FXMin, FXMax, FYMin, FYMax, FPlotWidth, FPlotHeight, sx, sy)) return;
    double r = R(), b = B();
    if (variant_ != mkConstant) b = std::clamp(b, -1e10 * sy * sx, 1e10 * sy * sx);
    // The intercept stays where handle 0 can reach it (the band around the
    // line through the bottom-left corner), so a fit far from zero is kept.
    if (variant_ != mkProportional) r = Band(r, FYMin - b * FXMin, 1e4 * sy);
    SetRB(r, b);
  }

  void ComputeHandles(double E, double F) override {
    FHandles[0] = E * (R() - FYMin + B() * FXMin);
    FHandles[1] = B() * E * F;
    const bool l0 = LimitHandle(0, -1e4, 1e4);
    const bool l1 = LimitHandle(1, -1e10, 1e10);
    if (l0 || l1) {
      if (variant_ == mkProportional && l0 && std::abs(FXMin) >= 1e-100) {
        // The proportional line turns instead of leaving the origin.
        const double b = (FHandles[0] / E + FYMin) / FXMin;
        FHandles[1] = b * E * F;
      }
      ComputeParams(E, F);
      MarkChanged();
    }
  }

  void ComputeParams(double E, double F) override {
    if (variant_ == mkConstant) {
      SetRB(FHandles[0] / E + FYMin, 0);
      return;
    }
    const double b = FHandles[1] / (E * F);
    SetRB(FHandles[0] / E + FYMin - b * FXMin, b);
  }

  double HeightAt(double px) const override { return FHandles[0] + FHandles[1] * px; }

  QString EquationLine(const QString& y) const override {
    const QString t = QStringLiteral("\x01");
    switch (variant_) {
      case mkAffine:
        return QStringLiteral("Model: ") + y + QStringLiteral(" = r + b.") + t;
      case mkConstant:
        return QStringLiteral("Model: ") + y + QStringLiteral(" = r");
      default:
        return QStringLiteral("Model: ") + y + QStringLiteral(" = b.") + t;
    }
  }

  // The visible segment: where the line crosses the border of the plot area.
  bool Ends(QPointF& a, QPointF& b) const {
    const double w = FPlotWidth, h = FPlotHeight, h0 = FHandles[0], h1 = FHandles[1];
    std::vector<QPointF> pts;
    auto add = [&](double x, double y) {
      if (x < -1e-9 || x > w + 1e-9 || y < -1e-9 || y > h + 1e-9) return;
      for (const QPointF& p : pts)
        if (std::abs(p.x() - x) < 1e-9 && std::abs(p.y() - y) < 1e-9) return;
      pts.emplace_back(x, y);
    };
    add(0, h0);
    add(w, h0 + h1 * w);
    if (h1 != 0) {
      add(-h0 / h1, 0);
      add((h - h0) / h1, h);
    }
    if (pts.size() < 2) return false;
    a = pts[0];
    b = pts[1];
    return true;
  }

 public:
  int HitCode(QPoint hit, const TTrace&) const override {
    QPointF a, b;
    if (!Ends(a, b)) return 0;
    const bool steep = std::abs(FHandles[1]) > 1;
    const double da = steep ? std::abs(a.y() - hit.y()) : std::abs(a.x() - hit.x());
    const double db = steep ? std::abs(b.y() - hit.y()) : std::abs(b.x() - hit.x());
    const int code = db <= da ? 1 : 0;
    fixed_ = code == 1 ? a : b;  // turned about the farther end
    return code;
  }

  TAdjustMode ModeFor(int hit) const override {
    switch (variant_) {
      case mkAffine:
        return hit >= 0 ? TAdjustMode::Turn : TAdjustMode::Translate;
      case mkConstant:
        return TAdjustMode::Translate;
      default:
        return hit >= 0 ? TAdjustMode::Turn : TAdjustMode::None;
    }
  }

  void BeginMode(TAdjustMode, QPoint) override {
    if (variant_ == mkProportional) fixed_ = QPointF(ToPlotX(0), ToPlotY(0));
  }

  void Translate(double dx, double dy) override {
    const double h0 =
        variant_ == mkConstant ? FHandles[0] - dy : FHandles[0] - dy - dx * FHandles[1];
    if (!Within(h0, -1e4, 1e4)) return;
    SetHandle(0, h0);
  }

  void Turn(double x, double y) override {
    if (x == fixed_.x()) return;
    const double slope = (fixed_.y() - y) / (fixed_.x() - x);
    const double height = fixed_.y() - fixed_.x() * slope;
    if (!Within(height, -1e4, 1e4) || !Within(slope, -1e10, 1e10)) return;
    SetHandles({{0, height}, {1, slope}});
  }

 private:
  int variant_;
  mutable QPointF fixed_;
};

// ---------------------------------------------------------------- exponential

class TMdlExponentiel : public TMdl {
 public:
  TMdlExponentiel() : TMdl(3) {}
  int Kind() const override { return mkExponential; }
  int ParamCount() const override { return 3; }
  double Value(double t) const override {
    return FParams[0] + FParams[1] * std::exp(FParams[2] * t);
  }

 protected:
  void Fit() override {
    TDoubleDynArray p;
    const int s = MarquardtFit(FX, FY, mmExponential, p);
    fitStatus_ = s;
    if (s != msFault && s != msTooFewPoints && p.size() == 3) FParams = p;
  }
  void ClampParams() override {
    double sx, sy;
    if (!LimitScales(FXMin, FXMax, FYMin, FYMax, FPlotWidth, FPlotHeight, sx, sy)) return;
    double& r = FParams[0];
    double& b = FParams[1];
    double& c = FParams[2];
    c = std::clamp(c, -std::abs(sx), std::abs(sx));
    const double bl = std::abs(1e100 * sy * std::exp(-c * FXMin));
    if (std::isfinite(bl)) b = std::clamp(b, -bl, bl);
    r = Band(r, FYMin, 1e4 * sy);
  }
  void ComputeHandles(double E, double F) override {
    FHandles[0] = E * (FParams[0] - FYMin);
    FHandles[1] = E * FParams[1] * std::exp(FParams[2] * FXMin);
    FHandles[2] = FParams[2] * F;
    const bool l =
        LimitHandle(0, -1e4, 1e4) | LimitHandle(1, -1e100, 1e100) | LimitHandle(2, -1, 1);
    FollowLimitedHandles(l, E, F);
  }
  void ComputeParams(double E, double F) override {
    FParams[2] = FHandles[2] / F;
    FParams[1] = FHandles[1] / (E * std::exp(FParams[2] * FXMin));
    FParams[0] = FHandles[0] / E + FYMin;
  }
  double HeightAt(double px) const override {
    return FHandles[0] + FHandles[1] * std::exp(FHandles[2] * px);
  }
  QString EquationLine(const QString& y) const override {
    return QStringLiteral("Model: ") + y + QStringLiteral(" = r + b.exp(c.\x01)");
  }
  TAdjustMode ModeFor(int hit) const override {
    return hit >= 0 ? TAdjustMode::Reshape : TAdjustMode::Translate;
  }
  void BeginMode(TAdjustMode, QPoint plot) override {
    press_ = plot;
    h1_ = FHandles[1];
    h2_ = FHandles[2];
  }

 public:
  void Translate(double dx, double dy) override {
    const double h0 = FHandles[0] - dy;
    const double h1 = dx != 0 ? FHandles[1] * std::exp(-FHandles[2] * dx) : FHandles[1];
    if (!Within(h0, -1e4, 1e4) || !Within(h1, -1e100, 1e100)) return;
    SetHandles({{0, h0}, {1, h1}});
  }
  void Reshape(double x, double y) override {
    if (x <= 0 || std::abs(press_.y() - FHandles[0]) < 1e-100) return;
    const double h1 = (y - FHandles[0]) * h1_ / (press_.y() - FHandles[0]);
    const double h2 = press_.x() * h2_ / x;
    if (!Within(h1, -1e100, 1e100) || !Within(h2, -1, 1)) return;
    SetHandles({{1, h1}, {2, h2}});
  }

 private:
  QPoint press_;
  double h1_ = 0, h2_ = 0;
};

// ---------------------------------------------------------------- parabola

class TMdlParaboleAv : public TMdl {
 public:
  TMdlParaboleAv() : TMdl(3) {}
  int Kind() const override { return mkParabola; }
  int ParamCount() const override { return 3; }
  double Value(double t) const override { return FParams[0] + FParams[1] * t + FParams[2] * t * t; }

 protected:
  void Fit() override {
    TDoubleDynArray a;
    fitStatus_ = PolyFit(0, 3, FX, FY, a);
    if (fitStatus_ == 0 && a.size() == 3) FParams = a;
  }
  void ClampParams() override {
    double sx, sy;
    if (!LimitScales(FXMin, FXMax, FYMin, FYMax, FPlotWidth, FPlotHeight, sx, sy)) return;
    double& r = FParams[0];
    double& b = FParams[1];
    double& c = FParams[2];
    c = std::clamp(c, -std::abs(1e4 * sx * sx * sy), std::abs(1e4 * sx * sx * sy));
    // Slope and height stay where handles 1 and 2 can reach them.
    b = Band(b, -2 * c * FXMin, 1e4 * sx * sy);
    r = Band(r, FYMin - b * FXMin - c * FXMin * FXMin, 1e5 * sy);
  }
  void ComputeHandles(double E, double F) override {
    const double r = FParams[0], b = FParams[1], c = FParams[2];
    FHandles[0] = c * F * F * E;
    FHandles[1] = (2 * c * FXMin + b) * F * E;
    FHandles[2] = E * (r - FYMin + b * FXMin + c * FXMin * FXMin);
    const bool l =
        LimitHandle(0, -1e4, 1e4) | LimitHandle(1, -1e4, 1e4) | LimitHandle(2, -1e5, 1e5);
    FollowLimitedHandles(l, E, F);
  }
  void ComputeParams(double E, double F) override {
    const double c = FHandles[0] / (F * F * E);
    const double b = FHandles[1] / (F * E) - 2 * c * FXMin;
    FParams = {FHandles[2] / E + FYMin - b * FXMin - c * FXMin * FXMin, b, c};
  }
  double HeightAt(double px) const override {
    return FHandles[0] * px * px + FHandles[1] * px + FHandles[2];
  }
  QString EquationLine(const QString& y) const override {
    return QStringLiteral("Model: ") + y + QStringLiteral(" = r + b.\x01 + c.\x01²");
  }
  // The direction of the curve at the hit, 1 to 8.
  int HitCode(QPoint hit, const TTrace&) const override {
    const double slope = 2 * FHandles[0] * hit.x() + FHandles[1];
    const int octant = static_cast<int>(std::floor((std::atan(slope) + kPi / 2) / (kPi / 8))) + 1;
    return std::clamp(octant, 1, 8);
  }
  TAdjustMode ModeFor(int hit) const override {
    return hit >= 0 ? TAdjustMode::Reshape : TAdjustMode::Translate;
  }

 public:
  void Translate(double dx, double dy) override {
    const double h2 = FHandles[0] * dx * dx - FHandles[1] * dx + FHandles[2] - dy;
    const double h1 = dx != 0 ? FHandles[1] - 2 * FHandles[0] * dx : FHandles[1];
    if (!Within(h2, -1e5, 1e5) || !Within(h1, -1e4, 1e4)) return;
    SetHandles({{1, h1}, {2, h2}});
  }
  void Reshape(double x, double y) override {
    if (std::abs(FHandles[0]) < 1e-100) return;  // a straight line has no vertex
    const double xvExact = -FHandles[1] / (2 * FHandles[0]);
    const double xv = std::round(xvExact), yv = std::round(HeightAt(xvExact));
    if (y == yv || x == xv) return;
    const double a = (y - yv) / ((x - xv) * (x - xv));
    const double h1 = -2 * a * xv, h2 = a * xv * xv + yv;
    if (!(std::abs(a) <= 1e4) || !(std::abs(h1) <= 1e4) || !(std::abs(h2) <= 1e5)) return;
    SetHandles({{0, a}, {1, h1}, {2, h2}});
  }
};

// ---------------------------------------------------------------- sines

class TMdlSinusPure : public TMdl {
 public:
  explicit TMdlSinusPure(int kind) : TMdl(kind == mkSine ? 4 : 5), kind_(kind) {}
  int Kind() const override { return kind_; }
  int ParamCount() const override { return kind_ == mkSine ? 4 : 5; }
  double K() const { return kind_ == mkSine ? 0 : FParams[4]; }
  double Envelope(double t) const {
    return kind_ == mkSineExp ? std::exp(K() * t) : kind_ == mkSineLin ? 1 + K() * t : 1;
  }
  double Value(double t) const override {
    if (kind_ == mkSineLin) {
      const double stop = SinusAlStopTime(FParams[1], FParams[2], FParams[3], K());
      return FParams[0] + SinusAlValue(FParams[1], FParams[2], FParams[3], K(), t, stop);
    }
    return FParams[0] + FParams[1] * std::sin(FParams[2] * t + FParams[3]) * Envelope(t);
  }

 protected:
  void Fit() override {
    TDoubleDynArray p;
    const int s = MarquardtFit(FX, FY, kind_, p);
    fitStatus_ = s;
    if (s != msFault && s != msTooFewPoints && p.size() == FParams.size()) FParams = p;
  }
  void ClampParams() override {
    double sx, sy;
    if (!LimitScales(FXMin, FXMax, FYMin, FYMax, FPlotWidth, FPlotHeight, sx, sy)) return;
    sx = std::abs(sx);
    sy = std::abs(sy);
    FParams[0] = Band(FParams[0], FYMin, 1e4 * sy);
    FParams[1] = std::clamp(FParams[1], 0.0, 1e4 * sy);
    FParams[2] = std::clamp(FParams[2], 1e-6 * sx, 0.25 * sx);
    // Half a turn of phase is tried; it stays unless the fit gets worse.
    ComputeStatistics();
    const double before = FRms;
    const double d = FParams[3];
    FParams[3] = Wrap(d + kPi);
    ComputeStatistics();
    if (FRms > before) FParams[3] = d;
    if (kind_ == mkSineExp) FParams[4] = std::clamp(FParams[4], -0.9 * sx, 0.0);
    if (kind_ == mkSineLin) FParams[4] = std::min(FParams[4], 0.0);
    MarkChanged();
  }
  void ComputeHandles(double E, double F) override {
    FHandles[0] = E * (FParams[0] - FYMin);
    FHandles[1] = E * FParams[1];
    FHandles[2] = FParams[2] * F;
    FHandles[3] = FParams[2] * FXMin + FParams[3];
    bool l = LimitHandle(0, -1e4, 1e4) | LimitHandle(1, 0, 1e4);
    if (kind_ == mkSineExp) FHandles[1] *= std::exp(K() * FXMin);
    if (kind_ == mkSineLin && 1 + K() * FXMin > 0) FHandles[1] *= 1 + K() * FXMin;
    const double wrapped = Wrap(FHandles[2]);
    if (wrapped != FHandles[2]) FSavedHandles[2] = wrapped + 1;
    FHandles[2] = wrapped;
    l |= LimitHandle(2, 1e-6, 0.25);
    if (kind_ == mkSineExp) {
      FHandles[4] = K() * F;
      l |= LimitHandle(4, -0.9, 0);
    } else if (kind_ == mkSineLin && 1 + K() * FXMin > 0) {
      FHandles[4] = K() * F / (1 + K() * FXMin);
    }
    FollowLimitedHandles(l, E, F);
  }
  void ComputeParams(double E, double F) override {
    FParams[0] = FHandles[0] / E + FYMin;
    FParams[2] = FHandles[2] / F;
    FParams[3] = Wrap(FHandles[3] - FParams[2] * FXMin);
    double env = 1;
    if (kind_ == mkSineExp) {
      FParams[4] = FHandles[4] / F;
      env = std::exp(FParams[4] * FXMin);
    } else if (kind_ == mkSineLin) {
      const double den = F - FHandles[4] * FXMin;
      if (std::abs(den) >= 1e-100) FParams[4] = FHandles[4] / den;
      env = 1 + FParams[4] * FXMin;
      if (!(env > 0)) env = 1;
    }
    FParams[1] = FHandles[1] / (E * env);
  }
  double StopColumn() const {
    if (kind_ != mkSineLin) return std::numeric_limits<double>::infinity();
    const double ts = SinusAlStopTime(FHandles[1], FHandles[2], FHandles[3], FHandles[4]);
    return std::isfinite(ts) ? std::clamp(std::round(ts), 0.0, static_cast<double>(FPlotWidth))
                             : ts;
  }
  double HeightAt(double px) const override {
    const double amp = FHandles[1], w = FHandles[2], phi = FHandles[3], k = FHandles[4];
    switch (kind_) {
      case mkSineExp:
        return FHandles[0] + amp * std::sin(w * px + phi) * std::exp(k * px);
      case mkSineLin: {
        const double x = std::min(px, StopColumn());
        return FHandles[0] + amp * std::sin(w * x + phi) * (1 + k * x);
      }
      default:
        return FHandles[0] + amp * std::sin(w * px + phi);
    }
  }
  QString EquationLine(const QString& y) const override {
    if (kind_ == mkSine)
      return QStringLiteral("Model: ") + y + QStringLiteral(" = r + b.sin(c.\x01 + d)");
    if (kind_ == mkSineExp)
      return QStringLiteral("Model: ") + y + QStringLiteral(" = r + b.sin(c.\x01 + d).exp(k.\x01)");
    return QStringLiteral("Model: ") + y + QStringLiteral("\" + r.") + y +
           QStringLiteral(" + b.Sign(") + y + QStringLiteral("') = c");
  }
  QStringList ParamLines(const QString& y) const override {
    if (kind_ != mkSineLin) return TMdl::ParamLines(y);
    // The differential equation y'' + r'.y + b'.Sign(y') = c' and its start.
    const double r = FParams[0], b = FParams[1], c = FParams[2], d = FParams[3], k = FParams[4];
    return {
        QStringLiteral("r = ") + FormatTable(c * c, 0),
        QStringLiteral("b = ") + FormatTable(-b * c * k * kPi / 2, 0),
        QStringLiteral("c = ") + FormatTable(c * c * r, 0),
        y + QStringLiteral("(0) = ") + FormatTable(r + b * std::sin(d), 0),
        y + QStringLiteral("'(0) = ") + FormatTable(b * (c * std::cos(d) + k * std::sin(d)), 0)};
  }
  int HitCode(QPoint hit, const TTrace&) const override {
    const double phase = Wrap(FHandles[2] * hit.x() + FHandles[3]);
    quarter_ = static_cast<int>(2 * phase / kPi) % 4;
    return std::clamp(static_cast<int>(phase / (kPi / 4)), 0, 7);
  }
  TAdjustMode ModeFor(int hit) const override {
    if (hit < 0) return TAdjustMode::Translate;
    if (hit == 0 || hit == 3 || hit == 4 || hit == 7) return TAdjustMode::Period;
    if (kind_ != mkSine && (hit == 1 || hit == 5)) return TAdjustMode::Damping;
    return TAdjustMode::Amplitude;
  }
  // The crest (s = 1) or trough (s = -1) nearest the mouse's abscissa.
  double CrestNear(double s, double x) const {
    const double w = FHandles[2], phi = FHandles[3];
    double xc = (s * kPi / 2 - phi) / w;
    xc += std::round(w * std::abs(xc - x) / kTwoPi) * kTwoPi / w;
    return xc;
  }
  void BeginMode(TAdjustMode mode, QPoint plot) override {
    const double offset = FHandles[0], amp = FHandles[1], w = FHandles[2];
    const double s = plot.y() > offset ? 1 : -1;
    if (mode == TAdjustMode::Period && w > 0) {
      xc_ = CrestNear(s, plot.x());
      if (amp > 0 && Within(plot.y(), offset - amp, offset + amp)) {
        spanA_ = s * kPi - 2 * std::acos(std::clamp((plot.y() - offset) / amp, -1.0, 1.0));
        widthW_ = spanA_ / w;
        phiRef_ = s * kPi / 2;
      }
    } else if (mode == TAdjustMode::Damping && w > 0) {
      xc_ = CrestNear(s, plot.x());
      const double envelope = kind_ == mkSineExp ? amp * std::exp(FHandles[4] * plot.x())
                                                 : amp * (1 + FHandles[4] * plot.x());
      env_ = offset + s * envelope;
      acc_ = 0;
    }
  }

 public:
  void Translate(double dx, double dy) override {
    SaveHandles();
    if (Within(FHandles[0], -1e4, 1e4)) FHandles[0] -= dy;
    FHandles[3] = Wrap(FHandles[3] - dx * FHandles[2]);
    CheckUserChange();
  }
  void AdjustAmplitude(double dy) override {
    const bool below = quarter_ == 2 || quarter_ == 3;
    const double amp = below ? FHandles[1] + dy / 2 : FHandles[1] - dy / 2;
    const double offset = FHandles[0] - dy / 2;
    if (!Within(amp, 0, 1e4) || !Within(offset, -1e4, 1e4)) return;
    SetHandles({{1, amp}, {0, offset}});
  }
  void AdjustPeriod(TAdjustKeys keys, double dx) override {
    // Without an amplitude there is no phase span to keep: nothing to do.
    if (!(std::abs(widthW_) >= 1e-100) || !(std::abs(spanA_) >= 1e-100)) return;
    double step = keys.alt ? 0.02 * dx : keys.ctrl ? 0.2 * dx : 2 * dx;
    if (quarter_ == 0 || quarter_ == 3) step = -step;
    const double W = widthW_ + step;
    if (std::abs(W) < 1e-100) return;
    widthW_ = W;
    const double w = std::clamp(Wrap(spanA_ / W), 1e-6, 0.25);
    SetHandles({{2, w}, {3, Wrap(phiRef_ - w * xc_)}});
  }
  void AdjustDamping(TAdjustKeys keys, double dy) override {
    const double amp = FHandles[1], offset = FHandles[0];
    if (dy == 0 || amp == 0 || std::abs(xc_) < 1e-100) return;
    const double step = keys.alt ? 0.01 * dy : keys.ctrl ? 0.1 * dy : dy;
    double h;
    if (quarter_ == 2 || quarter_ == 3) {
      acc_ += step;
      h = acc_ - env_ + offset;
    } else {
      acc_ -= step;
      h = env_ + acc_ - offset;
    }
    if (h <= 0) return;
    double k = kind_ == mkSineExp ? std::log(h / amp) / xc_ : (h / amp - 1) / xc_;
    if (k > 0) k = 0;
    if (kind_ == mkSineExp && k < -0.9) k = -0.9;
    SetHandles({{4, k}});
  }
  double PeriodWidth() const override { return widthW_; }

 private:
  int kind_;
  mutable int quarter_ = 0;
  double xc_ = 0, spanA_ = 0, widthW_ = 0, phiRef_ = 0, env_ = 0, acc_ = 0;
};

}  // namespace

std::unique_ptr<TMdl> CreateModel(int kind) {
  switch (kind) {
    case mkAffine:
    case mkConstant:
    case mkProportional:
      return std::make_unique<TMdlLineaire>(kind);
    case mkExponential:
      return std::make_unique<TMdlExponentiel>();
    case mkParabola:
      return std::make_unique<TMdlParaboleAv>();
    case mkSine:
    case mkSineExp:
    case mkSineLin:
      return std::make_unique<TMdlSinusPure>(kind);
    default:
      return nullptr;
  }
}

int ModelKindFromName(const QString& name) {
  static const std::pair<const char*, int> names[] = {
      {"affine", mkAffine},     {"constant", mkConstant},         {"exponential", mkExponential},
      {"parabola", mkParabola}, {"proportional", mkProportional}, {"sine", mkSine},
      {"sine-exp", mkSineExp},  {"sine-lin", mkSineLin}};
  for (const auto& [n, k] : names)
    if (name == QLatin1String(n)) return k;
  return mkNone;
}

}  // namespace mlb
