#include "kinematics/UnitResultats.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "kinematics/UnitDeriv.h"
#include "measurement/UnitData.h"

namespace mlb {

namespace {

constexpr double kLow = -1e100;
constexpr double kHigh = 1e100;

template <class M>
void SizeTable(M& table, std::size_t rows, std::size_t cols) {
  table.resize(rows);
  for (auto& r : table) r.assign(cols, {});
}

std::size_t U(int i) {
  return static_cast<std::size_t>(i);
}

class TDataSource : public TKinematicsSource {
 public:
  TDataSource(const TData& data, bool transparent) : data_(data), transparent_(transparent) {}
  bool VideoOpened() const override { return data_.View() && data_.View()->VideoOpened(); }
  int MarksPerFrame() const override { return Store().MarksNumberPerFrame(); }
  TMarkMatrices MarkMatrices() const override { return Store().GetMarkMatrices(); }
  double FramePeriod() const override { return data_.RequiredDuration(); }
  TPointD ScaleFactors() const override {
    const TMeasureView* v = data_.View();
    return data_.Echelle().GetScaleFactors(data_.Settings().separateScales, v ? v->ImageWidth() : 0,
                                           v ? v->ImageHeight() : 0);
  }
  double AxisAngle() const override { return transparent_ ? 0.0 : data_.RepereFixe().XAxisAngle; }
  bool DirectX() const override { return Repere().DirectXAxisDirection; }
  bool DirectY() const override { return Repere().DirectYAxisDirection; }

 private:
  const TPolyContainer& Store() const {
    return transparent_ ? static_cast<const TPolyContainer&>(data_.TransparentStore())
                        : static_cast<const TPolyContainer&>(data_.FixedStore());
  }
  const TRepere& Repere() const {
    return transparent_ ? static_cast<const TRepere&>(data_.Transparent())
                        : static_cast<const TRepere&>(data_.RepereFixe());
  }
  const TData& data_;
  bool transparent_;
};

}  // namespace

bool IsQuantityCode(int code) {
  return (code >= 0 && code <= 8) || (code >= 11 && code <= 13);
}

QString QuantitySymbol(int code) {
  static const char* const symbols[] = {"t",  "x", "y", "vx", "vy", "v", "ax",
                                        "ay", "a", "",  "",   "O",  "R", "w"};
  return IsQuantityCode(code) ? QString::fromLatin1(symbols[code]) : QString();
}

QString QuantityUnit(int code) {
  static const char* const units[] = {"s",    "m",    "m", "m/s", "m/s", "m/s", "m/s2",
                                      "m/s2", "m/s2", "",  "",    "rad", "m",   "rad/s"};
  return IsQuantityCode(code) ? QString::fromLatin1(units[code]) : QString();
}

std::unique_ptr<TKinematicsSource> MakeDataSource(const TData& data, bool transparent) {
  return std::make_unique<TDataSource>(data, transparent);
}

// ---------------------------------------------------------------- TCalcul

int TCalcul::BuildPositions() {
  if (!source_.VideoOpened()) return csNoVideo;
  TMarkMatrices m = source_.MarkMatrices();
  const int N = source_.MarksPerFrame();
  const std::size_t S = m.times.size();
  const std::size_t NN = U(std::max(0, N));
  // Export rows follow the store's marks per frame; pad defensively.
  m.frameIndex.resize(NN, TIntegerDynArray(S, -1));
  m.X.resize(NN, TDoubleDynArray(S, 0.0));
  m.negY.resize(NN, TDoubleDynArray(S, 0.0));
  FTimes = std::move(m.times);
  FFrames = std::move(m.frameIndex);
  FSampleNumbers.resize(S);
  for (std::size_t j = 0; j < S; ++j) FSampleNumbers[j] = static_cast<int>(j);
  FMarkCount = N;

  SizeTable(FRawX, NN, S);
  SizeTable(FRawY, NN, S);
  SizeTable(FSpeed, NN, S);
  SizeTable(FAccel, NN, S);
  SizeTable(FTheta, NN, S);
  SizeTable(FRadius, NN, S);
  SizeTable(FOmega, NN, S);
  for (TMatrice3D* t : {&FX, &FY, &FVx, &FVy, &FAx, &FAy}) {
    t->resize(2);
    for (auto& v : *t) SizeTable(v, NN, S);
  }
  FX[avImage] = std::move(m.X);
  FY[avImage] = std::move(m.negY);

  FScale = source_.ScaleFactors();
  if (!(FScale.x > 0) || !(FScale.y > 0)) {
    // The compact series of an earlier build must not be derived from.
    for (TMatriceD* c : {&FcFrames, &FcRawX, &FcRawY, &FcX, &FcY, &FcVx, &FcVy, &FcV, &FcAx, &FcAy,
                         &FcA, &FcTheta, &FcRadius, &FcOmega})
      c->clear();
    FNeedsBuild = true;
    return csNoScale;
  }

  const double a = source_.AxisAngle();
  alpha_ = a;
  cos_ = std::cos(a);
  sin_ = std::sin(a);
  directX_ = source_.DirectX();
  directY_ = source_.DirectY();
  const double sx = FScale.x, sy = FScale.y;
  for (std::size_t n = 0; n < NN; ++n)
    for (std::size_t j = 0; j < S; ++j) {
      const double x = FX[avImage][n][j], y = FY[avImage][n][j];
      const double X = x * sx * cos_ + y * sy * sin_;
      const double Y = y * sy * cos_ - x * sx * sin_;
      FRawX[n][j] = x;
      FRawY[n][j] = y;
      FX[avImage][n][j] = x * sx;
      FY[avImage][n][j] = y * sy;
      FX[avAxes][n][j] = directX_ ? X : -X;
      FY[avAxes][n][j] = directY_ ? Y : -Y;
    }

  FPresentCount.assign(NN, 0);
  for (std::size_t n = 0; n < NN; ++n)
    FPresentCount[n] = static_cast<int>(
        std::count_if(FFrames[n].begin(), FFrames[n].end(), [](int f) { return f >= 0; }));
  for (TMatriceD* c : {&FcFrames, &FcRawX, &FcRawY, &FcX, &FcY, &FcVx, &FcVy, &FcV, &FcAx, &FcAy,
                       &FcA, &FcTheta, &FcRadius, &FcOmega}) {
    c->resize(NN);
    for (std::size_t n = 0; n < NN; ++n) c->at(n).assign(U(FPresentCount[n]), 0.0);
  }
  for (std::size_t n = 0; n < NN; ++n) {
    std::size_t k = 0;
    for (std::size_t j = 0; j < S; ++j) {
      if (FFrames[n][j] < 0) continue;
      FcFrames[n][k] = FFrames[n][j];
      FcRawX[n][k] = FRawX[n][j];
      FcRawY[n][k] = FRawY[n][j];
      FcX[n][k] = FX[avAxes][n][j];
      FcY[n][k] = FY[avAxes][n][j];
      ++k;
    }
  }
  FNeedsBuild = false;
  return csOk;
}

int TCalcul::ComputeDerived(int flags) {
  int status = csNoSeries;
  for (int n = 0; n < FMarkCount; ++n) {
    // Both are run; the first failure is the one reported.
    const int sv = ComputeVelocity(n, flags);
    const int sa = ComputeAcceleration(n, flags);
    status = sv != 0 ? sv : sa;
    if (status != 0) return status;
    ComputePolar(n, flags);
  }
  return status;
}

int TCalcul::ComputeVelocity(int n, int flags) {
  return ComputeMotion(n, flags, false);
}

int TCalcul::ComputeAcceleration(int n, int flags) {
  return ComputeMotion(n, flags, true);
}

int TCalcul::ComputeMotion(int n, int flags, bool acceleration) {
  if (n < 0 || U(n) >= FcFrames.size() || U(n) >= FcRawX.size() || U(n) >= FcRawY.size())
    return csNoSeries;
  const std::size_t nn = U(n);
  const double period = source_.FramePeriod();
  const bool smooth = acceleration ? (flags & smoothAcceleration) : (flags & smoothSpeed);
  TDeriv dx, dy;
  dx.Init(FcFrames[nn], FcRawX[nn], period);
  dy.Init(FcFrames[nn], FcRawY[nn], period);
  if (const int s = dx.Derive(smooth)) return s;
  if (const int s = dy.Derive(smooth)) return s;
  const TDoubleDynArray& ox = acceleration ? dx.Second : dx.First;
  const TDoubleDynArray& oy = acceleration ? dy.Second : dy.First;

  TMatriceD& cx = acceleration ? FcAx : FcVx;
  TMatriceD& cy = acceleration ? FcAy : FcVy;
  TMatriceD& cm = acceleration ? FcA : FcV;
  const std::size_t C = ox.size();
  cx[nn].resize(C);
  cy[nn].resize(C);
  cm[nn].resize(C);
  for (std::size_t k = 0; k < C; ++k) {
    cx[nn][k] = ox[k] * FScale.x;
    cy[nn][k] = oy[k] * FScale.y;
    cm[nn][k] = std::sqrt(cx[nn][k] * cx[nn][k] + cy[nn][k] * cy[nn][k]);
  }

  TMatrice3D& fx = acceleration ? FAx : FVx;
  TMatrice3D& fy = acceleration ? FAy : FVy;
  TMatriceD& fm = acceleration ? FAccel : FSpeed;
  std::size_t k = 0;
  for (std::size_t j = 0; j < FTimes.size(); ++j) {
    if (FFrames[nn][j] < 0 || k >= C) {
      fx[avAxes][nn][j] = fx[avImage][nn][j] = 0.0;
      fy[avAxes][nn][j] = fy[avImage][nn][j] = 0.0;
      fm[nn][j] = 0.0;
      continue;
    }
    const double vx = cx[nn][k], vy = cy[nn][k];
    fx[avImage][nn][j] = vx;
    fy[avImage][nn][j] = vy;
    fm[nn][j] = cm[nn][k];
    const double X = vx * cos_ + vy * sin_;
    const double Y = vy * cos_ - vx * sin_;
    fx[avAxes][nn][j] = directX_ ? X : -X;
    fy[avAxes][nn][j] = directY_ ? Y : -Y;
    ++k;
  }
  return csOk;
}

int TCalcul::ComputePolar(int n, int flags) {
  if (FcX.empty()) return dsTooFewValues;
  if (n < 0 || U(n) >= FcX.size() || FcX[U(n)].empty()) return dsTooFewValues;
  const std::size_t nn = U(n);
  const std::size_t C = FcX[nn].size();
  FcTheta[nn].resize(C);
  FcRadius[nn].resize(C);
  double offset = 0.0;
  double previous = std::atan2(FcY[nn][0], FcX[nn][0]);
  constexpr double pi = std::numbers::pi;
  for (std::size_t k = 0; k < C; ++k) {
    const double theta = std::atan2(FcY[nn][k], FcX[nn][k]);
    const double d = theta - previous;
    if (d >= 0 && d >= pi) offset -= 2 * pi;
    if (d < 0 && d <= -pi) offset += 2 * pi;
    FcTheta[nn][k] = theta + offset;
    previous = theta;
    FcRadius[nn][k] = std::sqrt(FcX[nn][k] * FcX[nn][k] + FcY[nn][k] * FcY[nn][k]);
  }
  TDeriv d;
  d.Init(FcFrames[nn], FcTheta[nn], source_.FramePeriod());
  if (const int s = d.Derive(flags & smoothSpeed)) return s;
  FcOmega[nn] = d.First;
  std::size_t k = 0;
  for (std::size_t j = 0; j < FTimes.size(); ++j) {
    if (FFrames[nn][j] < 0 || k >= C) {
      FTheta[nn][j] = FRadius[nn][j] = FOmega[nn][j] = 0.0;
      continue;
    }
    FTheta[nn][j] = FcTheta[nn][k];
    FRadius[nn][j] = FcRadius[nn][k];
    FOmega[nn][j] = FcOmega[nn][k];
    ++k;
  }
  return csOk;
}

const TMatriceD* TCalcul::FullTable(int variant, int code) const {
  if (variant != avAxes && variant != avImage) return nullptr;
  const std::size_t v = U(variant);
  auto pick = [&](const TMatrice3D& t) { return v < t.size() ? &t[v] : nullptr; };
  switch (code) {
    case grX:
      return pick(FX);
    case grY:
      return pick(FY);
    case grVx:
      return pick(FVx);
    case grVy:
      return pick(FVy);
    case grV:
      return &FSpeed;
    case grAx:
      return pick(FAx);
    case grAy:
      return pick(FAy);
    case grA:
      return &FAccel;
    case grTheta:
      return &FTheta;
    case grR:
      return &FRadius;
    case grOmega:
      return &FOmega;
    default:
      return nullptr;
  }
}

bool TCalcul::Present(int n, int j) const {
  return n >= 0 && U(n) < FFrames.size() && j >= 0 && U(j) < FFrames[U(n)].size() &&
         FFrames[U(n)][U(j)] >= 0;
}

double TCalcul::ValueAt(int variant, int n, int code, int j) const {
  if (j < 0 || j >= SampleCount()) return 0.0;
  if (code == grTemps) return FTimes[U(j)];
  const TMatriceD* t = FullTable(variant, code);
  if (!t || n < 0 || U(n) >= t->size() || U(j) >= (*t)[U(n)].size()) return 0.0;
  return (*t)[U(n)][U(j)];
}

double TCalcul::MaxValue(int variant, int n, int code) const {
  double m = kLow;
  if (!IsQuantityCode(code)) return m;
  for (int j = 0; j < SampleCount(); ++j)
    if (Present(n, j)) m = std::max(m, ValueAt(variant, n, code, j));
  return m;
}

double TCalcul::MinValue(int variant, int n, int code) const {
  double m = kHigh;
  if (!IsQuantityCode(code)) return m;
  for (int j = 0; j < SampleCount(); ++j)
    if (Present(n, j)) m = std::min(m, ValueAt(variant, n, code, j));
  return m;
}

double TCalcul::MaxValueAll(int variant, int code) const {
  double m = kLow;
  for (int n = 0; n < source_.MarksPerFrame(); ++n) m = std::max(m, MaxValue(variant, n, code));
  return m;
}

double TCalcul::MinValueAll(int variant, int code) const {
  double m = kHigh;
  for (int n = 0; n < source_.MarksPerFrame(); ++n) m = std::min(m, MinValue(variant, n, code));
  return m;
}

void TCalcul::QuantityTable(int variant, int code, TMatriceD& table) const {
  if (code == grTemps) return;
  const TMatriceD* t = FullTable(variant, code);
  if (t)
    table = *t;
  else
    SizeTable(table, U(FMarkCount), FTimes.size());
}

void TCalcul::QuantitySeries(int variant, int n, int ordinate, int abscissa,
                             TIntegerDynArray& labels, TPointDDynArray& points) const {
  labels.clear();
  points.clear();
  for (int j = 0; j < SampleCount(); ++j) {
    if (!Present(n, j)) continue;
    labels.push_back(Label(j));
    points.push_back({ValueAt(variant, n, abscissa, j), ValueAt(variant, n, ordinate, j)});
  }
}

void TCalcul::RelativeTrajectory(int n, int ref, TIntegerDynArray& labels,
                                 TPointDDynArray& points) const {
  labels.clear();
  points.clear();
  if (ref == n) {
    labels.push_back(StartByZero ? 0 : 1);
    points.push_back({0.0, 0.0});
    return;
  }
  for (int j = 0; j < SampleCount(); ++j) {
    if (!Present(n, j) || (ref != -1 && !Present(ref, j))) continue;
    TPointD p{ValueAt(avAxes, n, grX, j), ValueAt(avAxes, n, grY, j)};
    if (ref != -1) p = p - TPointD{ValueAt(avAxes, ref, grX, j), ValueAt(avAxes, ref, grY, j)};
    labels.push_back(Label(j));
    points.push_back(p);
  }
}

// ---------------------------------------------------------------- TResCalc

TResCalc::TResCalc(std::unique_ptr<TKinematicsSource> fixedSource,
                   std::unique_ptr<TKinematicsSource> transparentSource,
                   std::function<bool()> transparentMode)
    : fixedSource_(std::move(fixedSource)),
      transparentSource_(std::move(transparentSource)),
      fixed_(std::make_unique<TCalcul>(*fixedSource_)),
      transparent_(std::make_unique<TCalcul>(*transparentSource_)),
      transparentMode_(std::move(transparentMode)) {}

TResCalc::TResCalc(const TData& data)
    : TResCalc(MakeDataSource(data, false), MakeDataSource(data, true),
               [&data] { return data.TransparentMode(); }) {}

TResCalc::~TResCalc() {
  transparent_.reset();
  fixed_.reset();
}

TCalcul& TResCalc::CurrentCalcul() {
  return transparentMode_ && transparentMode_() ? *transparent_ : *fixed_;
}

const TCalcul& TResCalc::CurrentCalcul() const {
  return transparentMode_ && transparentMode_() ? *transparent_ : *fixed_;
}

int TResCalc::BuildPositions(TRefChoice which) {
  switch (which) {
    case rcBoth: {
      const int t = transparent_->BuildPositions();
      const int f = fixed_->BuildPositions();
      return f != 0 ? f : t;
    }
    case rcCurrent:
      return CurrentCalcul().BuildPositions();
    case rcTransparent:
      return transparent_->BuildPositions();
    case rcFixed:
      return fixed_->BuildPositions();
  }
  return csOk;
}

void TResCalc::Invalidate(TRefChoice which) {
  switch (which) {
    case rcBoth:
      transparent_->Invalidate();
      fixed_->Invalidate();
      break;
    case rcCurrent:
      CurrentCalcul().Invalidate();
      break;
    case rcTransparent:
      transparent_->Invalidate();
      break;
    case rcFixed:
      fixed_->Invalidate();
      break;
  }
}

bool TResCalc::NeedsBuild(TRefChoice which) const {
  switch (which) {
    case rcBoth:
      return fixed_->NeedsBuild() || transparent_->NeedsBuild();
    case rcCurrent:
      return CurrentCalcul().NeedsBuild();
    case rcTransparent:
      return transparent_->NeedsBuild();
    case rcFixed:
      return fixed_->NeedsBuild();
  }
  return false;
}

bool TResCalc::Compute(TRefChoice which, int flags) {
  switch (which) {
    case rcBoth: {
      const int f = fixed_->ComputeDerived(flags);
      const int t = transparent_->ComputeDerived(flags);
      return f == 0 && t == 0;
    }
    case rcCurrent:
      return CurrentCalcul().ComputeDerived(flags) == 0;
    case rcTransparent:
      return transparent_->ComputeDerived(flags) == 0;
    case rcFixed:
      return fixed_->ComputeDerived(flags) == 0;
  }
  return false;
}

double TResCalc::TimeAt(int j) const {
  const TCalcul& c = CurrentCalcul();
  return (j < 0 || j >= c.SampleCount()) ? 0.0 : c.Times()[U(j)];
}

int TResCalc::FrameOf(int n, int j) const {
  const TCalcul& c = CurrentCalcul();
  if (n < 0 || U(n) >= c.Frames().size() || j < 0 || j >= c.SampleCount()) return 0;
  return c.Frames()[U(n)][U(j)];
}

TIntegerDynArray TResCalc::FramesOf(int n) const {
  const TCalcul& c = CurrentCalcul();
  return (n >= 0 && U(n) < c.Frames().size()) ? c.Frames()[U(n)] : TIntegerDynArray{};
}

}  // namespace mlb
