// The model curves laid over a measured curve of a graph: fitted to its
// points, adjusted by hand through handles in plot pixels, drawn, hit-tested,
// and described by an equation text and a statistics text.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QPoint>
#include <QString>
#include <QStringList>

#include "common/UnitTypes.h"

class QPainter;

namespace mlb {

// Kind codes of the models (3 unused, 9 no model).
enum TModelKind : int {
  mkAffine = 0,
  mkConstant = 1,
  mkExponential = 2,
  mkParabola = 4,
  mkProportional = 5,
  mkSine = 6,
  mkSineExp = 7,
  mkSineLin = 8,
  mkNone = 9,
};

// The mouse modes of an adjustment.
enum class TAdjustMode { None, Translate, Turn, Reshape, Amplitude, Period, Damping };

// Keys held during a drag: Alt and Ctrl make the period and damping steps finer.
struct TAdjustKeys {
  bool alt = false;
  bool ctrl = false;
};

// One traced polyline per visible run of the curve, in plot pixels (x from
// the left edge, y upwards from the bottom).
using TTrace = std::vector<std::vector<QPoint>>;

class TMdl {
 public:
  virtual ~TMdl() = default;

  virtual int Kind() const = 0;
  virtual int ParamCount() const = 0;

  double Param(int index);
  const TDoubleDynArray& Params();
  void SetData(const TDoubleDynArray& x, const TDoubleDynArray& y);
  void SetPlotRect(int left, int top, int width, int height);
  void SetParam(int index, double value);
  void SetRanges(double xMin, double xMax, double yMin, double yMax);
  void SetDrawable(bool b) { FDrawable = b; }
  void SetColour(TColor c) { FColour = c; }

  // The model value at t (what is drawn).
  virtual double Value(double t) const = 0;

  // "Model: y = r + b.x", then one "letter = value" line per parameter.
  QStringList EquationText(const QString& ordinate, const QString& abscissa);
  // "Chyba ve směru osy y: ..." with relative precision and RMS deviation.
  QStringList StatisticsText();
  double Rms();
  double RelPrecision();
  double Correlation();

  // Handles in plot pixels.
  double Handle(int i) const { return FHandles[static_cast<std::size_t>(i)]; }
  void SetHandle(int i, double v);
  void ParamsToHandles();
  void HandlesToParams();
  bool UserChanged() const { return FUserChanged; }

  // The curve as traced on the plot area (empty when nothing is drawable).
  TTrace Trace() const;
  void Draw(QPainter& painter) const;
  // Mouse point in control coordinates: a code >= 0 on the curve, else -1.
  int HitTest(QPoint mouse);

  // Mouse reaction: the press chooses the mode from the hit test.
  TAdjustMode BeginAdjust(QPoint mouse);
  // One step with the mouse at a new control position.
  void AdjustTo(QPoint mouse, TAdjustKeys keys = {});
  void EndAdjust();

  // The steps themselves (dy positive downward; x, y in plot pixels, y up).
  virtual void Translate(double dx, double dy);
  virtual void Turn(double x, double y);
  virtual void Reshape(double x, double y);
  virtual void AdjustAmplitude(double dy);
  virtual void AdjustPeriod(TAdjustKeys keys, double dx);
  virtual void AdjustDamping(TAdjustKeys keys, double dy);

  // Status of the last automatic fit: 0, or that of the iterative fit
  // (not shown to the user; reported by mlbtool).
  int LastFitStatus() const { return fitStatus_; }

  // The width W of a period drag (phase span over angular frequency, in
  // pixels); 0 for the models without a period.
  virtual double PeriodWidth() const { return 0; }

  std::function<void(TMdl&)> OnChange;
  TColor Colour() const { return FColour; }

 protected:
  TMdl(int params);

  // Pixels per unit of y and units of t per pixel; false when the ranges or
  // the plot size do not allow conversions.
  bool Conversions(double& E, double& F) const;
  double ToPlotX(double t) const;
  double ToPlotY(double y) const;
  QPoint ControlToPlot(QPoint mouse) const;

  virtual void Fit() = 0;
  virtual void ClampParams() = 0;
  virtual void ComputeHandles(double E, double F) = 0;  // with limits
  virtual void ComputeParams(double E, double F) = 0;   // inverse
  virtual double HeightAt(double px) const = 0;         // curve height in plot pixels
  virtual int HitCode(QPoint plot, const TTrace& trace) const;
  virtual TAdjustMode ModeFor(int hit) const = 0;
  virtual void BeginMode(TAdjustMode mode, QPoint plot);
  virtual bool IsLinear() const { return false; }
  // Value used for the statistics: the drawn curve (for the friction sine,
  // the stopped one).
  double StatValue(double t) const { return Value(t); }

  void SaveHandles();
  void CheckUserChange();
  // One adjusting step: the new values of some handles, reported as a change.
  void SetHandles(std::initializer_list<std::pair<int, double>> values);
  // After the handles were limited: the parameters follow the limited handles.
  void FollowLimitedHandles(bool limited, double E, double F) {
    if (!limited) return;
    ComputeParams(E, F);
    MarkChanged();
  }
  // Limits handle i to [lo, hi]; true when it had to be limited.
  bool LimitHandle(int i, double lo, double hi);
  void ComputeStatistics();
  void MarkChanged() { FParamsChanged = true; }
  virtual QString EquationLine(const QString& ordinate) const = 0;
  // One "letter = value" line per parameter (in the table format, level 0).
  virtual QStringList ParamLines(const QString& ordinate) const;

  int FPlotLeft = 0, FPlotTop = 0, FPlotWidth = 0, FPlotHeight = 0;
  bool FUserChanged = false;
  bool FParamsChanged = true;
  std::array<double, 5> FSavedHandles{};
  double FCorrelation = 0, FRms = -1, FRelPrecision = -1;
  TDoubleDynArray FX, FY;
  TDoubleDynArray FParams;
  std::array<double, 5> FHandles{};
  double FXMin = 0, FXMax = 1, FYMin = 0, FYMax = 1;
  bool FDrawable = true;
  TColor FColour = 0x0000FF;

  TAdjustMode mode_ = TAdjustMode::None;
  int fitStatus_ = 0;
  QPoint last_;  // last mouse position in control coordinates
};

// The eight models, created by kind code (nullptr for codes 3 and 9).
std::unique_ptr<TMdl> CreateModel(int kind);
// The model's name for mlbtool: "affine", "constant", "exponential",
// "parabola", "proportional", "sine", "sine-exp", "sine-lin".
int ModelKindFromName(const QString& name);
// Parameter letter of position i ("rbcdkfghijlmnopq").
QChar ParamLetter(int i);

}  // namespace mlb
