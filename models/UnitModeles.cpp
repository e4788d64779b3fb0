#include "models/UnitModeles.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include <QColor>
#include <QPainter>
#include <QPolygon>

#include "common/UnitNumberFormat.h"
#include "kinematics/UnitLeastSquares.h"

namespace mlb {

namespace {

constexpr int kHitTolerance = 3;

}  // namespace

QChar ParamLetter(int i) {
  static const QString letters = QStringLiteral("rbcdkfghijlmnopq");
  return i >= 0 && i < letters.size() ? letters[i] : QLatin1Char('?');
}

// ---------------------------------------------------------------- TMdl

TMdl::TMdl(int params) : FParams(static_cast<std::size_t>(params), 0.0) {}

double TMdl::Param(int index) {
  if (FUserChanged) HandlesToParams();
  return index >= 0 && index < static_cast<int>(FParams.size())
             ? FParams[static_cast<std::size_t>(index)]
             : 0.0;
}

const TDoubleDynArray& TMdl::Params() {
  if (FUserChanged) HandlesToParams();
  return FParams;
}

void TMdl::SetData(const TDoubleDynArray& x, const TDoubleDynArray& y) {
  const std::size_t n = std::min(x.size(), y.size());
  FX.assign(x.begin(), x.begin() + static_cast<long>(n));
  FY.assign(y.begin(), y.begin() + static_cast<long>(n));
  FUserChanged = false;  // a fit supersedes pending handle changes
  Fit();
  ClampParams();
  MarkChanged();
  ParamsToHandles();
}

void TMdl::SetPlotRect(int left, int top, int width, int height) {
  FPlotLeft = left, FPlotTop = top, FPlotWidth = width, FPlotHeight = height;
  if (FDrawable) ParamsToHandles();
}

void TMdl::SetParam(int index, double value) {
  if (FUserChanged) HandlesToParams();
  if (index < 0 || index >= static_cast<int>(FParams.size())) return;
  if (FParams[static_cast<std::size_t>(index)] == value) return;
  FParams[static_cast<std::size_t>(index)] = value;
  MarkChanged();
  ParamsToHandles();
}

void TMdl::SetRanges(double xMin, double xMax, double yMin, double yMax) {
  FXMin = xMin, FXMax = xMax, FYMin = yMin, FYMax = yMax;
  if (FDrawable) ParamsToHandles();
}

bool TMdl::Conversions(double& E, double& F) const {
  const double dx = FXMax - FXMin, dy = FYMax - FYMin;
  auto usable = [](double d) { return std::abs(d) >= 1e-100 && std::abs(d) <= 1e100; };
  if (!usable(dx) || !usable(dy) || FPlotWidth <= 0 || FPlotHeight <= 0) return false;
  E = FPlotHeight / dy;
  F = dx / FPlotWidth;
  return true;
}

double TMdl::ToPlotX(double t) const {
  return (t - FXMin) * FPlotWidth / (FXMax - FXMin);
}
double TMdl::ToPlotY(double y) const {
  return (y - FYMin) * FPlotHeight / (FYMax - FYMin);
}

QPoint TMdl::ControlToPlot(QPoint m) const {
  return {m.x() - FPlotLeft, FPlotTop + FPlotHeight - m.y()};
}

void TMdl::SaveHandles() {
  FSavedHandles = FHandles;
}

void TMdl::CheckUserChange() {
  if (FHandles == FSavedHandles) return;
  FUserChanged = true;
  if (OnChange) OnChange(*this);
}

bool TMdl::LimitHandle(int i, double lo, double hi) {
  double& h = FHandles[static_cast<std::size_t>(i)];
  if (!std::isfinite(h)) h = 0;
  const double c = std::clamp(h, lo, hi);
  if (c == h) return false;
  h = c;
  FSavedHandles[static_cast<std::size_t>(i)] = h + 1;  // reported as a change
  return true;
}

void TMdl::SetHandles(std::initializer_list<std::pair<int, double>> values) {
  SaveHandles();
  for (const auto& [i, v] : values) FHandles[static_cast<std::size_t>(i)] = v;
  CheckUserChange();
}

void TMdl::SetHandle(int i, double v) {
  SetHandles({{i, v}});
}

void TMdl::ParamsToHandles() {
  double E, F;
  if (!Conversions(E, F)) return;
  SaveHandles();
  ComputeHandles(E, F);
  CheckUserChange();
}

void TMdl::HandlesToParams() {
  if (!FUserChanged) return;
  FUserChanged = false;
  double E, F;
  if (!Conversions(E, F)) return;
  ComputeParams(E, F);
  MarkChanged();
}

void TMdl::ComputeStatistics() {
  const std::size_t n = FX.size();
  double ss = 0, sy = 0;
  std::vector<double> fit(n);
  for (std::size_t i = 0; i < n; ++i) {
    fit[i] = StatValue(FX[i]);
    ss += (FY[i] - fit[i]) * (FY[i] - fit[i]);
    sy += FY[i] * FY[i];
  }
  FRms = n == 0 ? -1 : std::sqrt(ss / static_cast<double>(n));
  FRelPrecision = sy < 1e-100 ? -1 : std::sqrt(ss / sy);
  FCorrelation = 0;
  if (IsLinear() && n > 0) {
    const double mf = Mean(fit), my = Mean(FY);
    double num = 0, df = 0, dy = 0;
    for (std::size_t i = 0; i < n; ++i) {
      num += (fit[i] - mf) * (FY[i] - my);
      df += (fit[i] - mf) * (fit[i] - mf);
      dy += (FY[i] - my) * (FY[i] - my);
    }
    if (df >= 1e-100 && dy >= 1e-100) FCorrelation = num / (std::sqrt(df) * std::sqrt(dy));
  }
  if (!std::isfinite(FRms) || !std::isfinite(FRelPrecision) || !std::isfinite(FCorrelation))
    FRms = FRelPrecision = FCorrelation = -1;
  FParamsChanged = false;
}

double TMdl::Rms() {
  if (FUserChanged) HandlesToParams();
  if (FParamsChanged) ComputeStatistics();
  return FRms;
}

double TMdl::RelPrecision() {
  Rms();
  return FRelPrecision;
}

double TMdl::Correlation() {
  Rms();
  return FCorrelation;
}

QStringList TMdl::EquationText(const QString& ordinate, const QString& abscissa) {
  if (FUserChanged) HandlesToParams();
  QString line = EquationLine(ordinate);
  line.replace(QStringLiteral("\x01"), abscissa);
  return QStringList{line} + ParamLines(ordinate);
}

QStringList TMdl::ParamLines(const QString&) const {
  QStringList lines;
  for (int i = 0; i < ParamCount(); ++i)
    lines << QString(ParamLetter(i)) + QStringLiteral(" = ") +
                 FormatTable(FParams[static_cast<std::size_t>(i)], 0);
  return lines;
}

QStringList TMdl::StatisticsText() {
  Rms();
  QStringList lines{QStringLiteral("Chyba ve směru osy y: ")};
  lines << QStringLiteral("- relativní přesnost = ") + FormatGeneral(FRelPrecision * 100, 3, 0) +
               QStringLiteral("%");
  lines << QStringLiteral("- střední kvadratická odchylka = ") + FormatGeneral(FRms, 3, 0);
  if (IsLinear())
    lines << QStringLiteral("- korelační koeficient = ") + FormatGeneral(FCorrelation, 3, 0);
  return lines;
}

// Column by column: where the curve is steeper than a pixel per column the
// trace steps one row at a time so that consecutive points touch; parts
// outside the plot area are left out.
TTrace TMdl::Trace() const {
  TTrace out;
  double E, F;
  if (!Conversions(E, F)) return out;
  std::vector<QPoint> run;
  auto flush = [&] {
    if (!run.empty()) out.push_back(std::move(run));
    run.clear();
  };
  for (int x = 0; x <= FPlotWidth; ++x) {
    const double h = HeightAt(x);
    if (!std::isfinite(h) || h < -0.5 || h > FPlotHeight + 0.5) {
      flush();
      continue;
    }
    const int y = static_cast<int>(std::lround(h));
    if (!run.empty() && std::abs(y - run.back().y()) > 1) {
      const int step = y > run.back().y() ? 1 : -1;
      for (int r = run.back().y() + step; r != y; r += step) run.emplace_back(x - 1, r);
    }
    run.emplace_back(x, y);
  }
  flush();
  return out;
}

void TMdl::Draw(QPainter& painter) const {
  const TTrace trace = Trace();
  const QColor colour(static_cast<int>(FColour & 0xFF), static_cast<int>((FColour >> 8) & 0xFF),
                      static_cast<int>((FColour >> 16) & 0xFF));
  painter.save();
  painter.setPen(QPen(colour, 1));
  for (const auto& run : trace) {
    QPolygon poly;
    for (const QPoint& p : run) poly << QPoint(FPlotLeft + p.x(), FPlotTop + FPlotHeight - p.y());
    if (poly.size() == 1)
      painter.drawPoint(poly[0]);
    else
      painter.drawPolyline(poly);
  }
  painter.restore();
}

int TMdl::HitCode(QPoint, const TTrace&) const {
  return 0;
}

int TMdl::HitTest(QPoint mouse) {
  if (FUserChanged) HandlesToParams();
  const QPoint m = ControlToPlot(mouse);
  const TTrace trace = Trace();
  for (const auto& run : trace)
    for (const QPoint& p : run)
      if (std::abs(p.x() - m.x()) <= kHitTolerance && std::abs(p.y() - m.y()) <= kHitTolerance)
        return HitCode(p, trace);
  return -1;
}

void TMdl::BeginMode(TAdjustMode, QPoint) {}

TAdjustMode TMdl::BeginAdjust(QPoint mouse) {
  const int hit = HitTest(mouse);
  mode_ = ModeFor(hit);
  last_ = mouse;
  BeginMode(mode_, ControlToPlot(mouse));
  return mode_;
}

void TMdl::AdjustTo(QPoint mouse, TAdjustKeys keys) {
  const QPoint plot = ControlToPlot(mouse);
  if (mode_ == TAdjustMode::None || plot.x() < 0 || plot.x() > FPlotWidth || plot.y() < 0 ||
      plot.y() > FPlotHeight)
    return;
  const double dx = mouse.x() - last_.x(), dy = mouse.y() - last_.y();
  last_ = mouse;
  switch (mode_) {
    case TAdjustMode::Translate:
      Translate(dx, dy);
      break;
    case TAdjustMode::Turn:
      Turn(plot.x(), plot.y());
      break;
    case TAdjustMode::Reshape:
      Reshape(plot.x(), plot.y());
      break;
    case TAdjustMode::Amplitude:
      AdjustAmplitude(dy);
      break;
    case TAdjustMode::Period:
      AdjustPeriod(keys, dx);
      break;
    case TAdjustMode::Damping:
      AdjustDamping(keys, dy);
      break;
    case TAdjustMode::None:
      break;
  }
}

void TMdl::EndAdjust() {
  mode_ = TAdjustMode::None;
  if (FUserChanged) HandlesToParams();
}

// The steps are defined by each model; the defaults do nothing.
void TMdl::Translate(double, double) {}
void TMdl::Turn(double, double) {}
void TMdl::Reshape(double, double) {}
void TMdl::AdjustAmplitude(double) {}
void TMdl::AdjustPeriod(TAdjustKeys, double) {}
void TMdl::AdjustDamping(TAdjustKeys, double) {}

}  // namespace mlb
