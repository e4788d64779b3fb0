// The kinematics calculators: positions, velocities, accelerations and polar
// quantities of every mark rank of one frame of reference, rebuilt lazily.
#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "common/UnitTypes.h"
#include "measurement/UnitMarques.h"

namespace mlb {

class TData;

// Statuses of the calculation.
enum TCalcStatus : int {
  csOk = 0,
  csNoSeries = 3,  // no marks per frame, or no compact series for a rank
  csNoScale = 4,   // a scale factor <= 0
  csNoVideo = 5,
};

// Components along the coordinate system's axes, or along the image axes.
enum TAxesVariant : int { avAxes = 0, avImage = 1 };

// Symbol, unit label and validity of the quantity codes.
bool IsQuantityCode(int code);
QString QuantitySymbol(int code);
QString QuantityUnit(int code);

// What a calculator reads of the measurement data, for its own frame of reference.
class TKinematicsSource {
 public:
  virtual ~TKinematicsSource() = default;
  virtual bool VideoOpened() const = 0;
  virtual int MarksPerFrame() const = 0;
  virtual TMarkMatrices MarkMatrices() const = 0;
  virtual double FramePeriod() const = 0;  // seconds per video frame
  virtual TPointD ScaleFactors() const = 0;
  virtual double AxisAngle() const = 0;  // radians; 0 for the transparent frame
  virtual bool DirectX() const = 0;
  virtual bool DirectY() const = 0;
};

// The measurement data seen from one of its frames of reference.
std::unique_ptr<TKinematicsSource> MakeDataSource(const TData& data, bool transparent);

class TCalcul {
 public:
  explicit TCalcul(const TKinematicsSource& source) : source_(source) {}

  // Shown sample numbers start at 0 instead of 1 ("CheckBox36StartByZero_Checked").
  bool StartByZero = false;

  void Invalidate() { FNeedsBuild = true; }
  bool NeedsBuild() const { return FNeedsBuild; }
  int BuildPositions();
  int ComputeDerived(int flags);
  int ComputeVelocity(int n, int flags);
  int ComputeAcceleration(int n, int flags);
  int ComputePolar(int n, int flags);

  double MaxValue(int variant, int n, int code) const;
  double MinValue(int variant, int n, int code) const;
  double MaxValueAll(int variant, int code) const;
  double MinValueAll(int variant, int code) const;
  int SampleCount() const { return static_cast<int>(FTimes.size()); }
  int MarkCount() const { return FMarkCount; }
  double ValueAt(int variant, int n, int code, int j) const;
  void QuantityTable(int variant, int code, TMatriceD& table) const;
  void QuantitySeries(int variant, int n, int ordinate, int abscissa, TIntegerDynArray& labels,
                      TPointDDynArray& points) const;
  void RelativeTrajectory(int n, int ref, TIntegerDynArray& labels, TPointDDynArray& points) const;

  TPointD Scale() const { return FScale; }
  // Axis angle of the frame of reference at the last build, radians.
  double AxisAngle() const { return alpha_; }
  const TDoubleDynArray& Times() const { return FTimes; }
  const TIntegerDynArray& SampleNumbers() const { return FSampleNumbers; }
  const TMatriceI& Frames() const { return FFrames; }
  bool Present(int n, int j) const;

 private:
  int ComputeMotion(int n, int flags, bool acceleration);
  const TMatriceD* FullTable(int variant, int code) const;
  int Label(int j) const { return j + (StartByZero ? 0 : 1); }

  const TKinematicsSource& source_;
  bool FNeedsBuild = false;
  int FMarkCount = 0;
  TPointD FScale;
  TIntegerDynArray FSampleNumbers;
  TIntegerDynArray FPresentCount;
  TDoubleDynArray FTimes;
  TMatriceI FFrames;
  TMatriceD FRawX, FRawY;
  TMatriceD FSpeed, FAccel;
  TMatriceD FTheta, FRadius, FOmega;
  TMatriceD FcFrames, FcRawX, FcRawY, FcX, FcY;
  TMatriceD FcVx, FcVy, FcV, FcAx, FcAy, FcA;
  TMatriceD FcTheta, FcRadius, FcOmega;
  TMatrice3D FX, FY, FVx, FVy, FAx, FAy;
  double cos_ = 1.0, sin_ = 0.0, alpha_ = 0.0;
  bool directX_ = true, directY_ = true;
};

// The two calculators: fixed frame first, transparent frame second.
class TResCalc {
 public:
  TResCalc(std::unique_ptr<TKinematicsSource> fixedSource,
           std::unique_ptr<TKinematicsSource> transparentSource,
           std::function<bool()> transparentMode);
  // Calculators over the two frames of reference of the measurement data.
  explicit TResCalc(const TData& data);
  ~TResCalc();

  TCalcul& CurrentCalcul();
  const TCalcul& CurrentCalcul() const;
  TCalcul& Fixed() { return *fixed_; }
  TCalcul& Transparent() { return *transparent_; }
  void SetStartByZero(bool b) { fixed_->StartByZero = transparent_->StartByZero = b; }

  int BuildPositions(TRefChoice which = rcCurrent);
  void Invalidate(TRefChoice which = rcCurrent);
  bool NeedsBuild(TRefChoice which = rcCurrent) const;
  bool Compute(TRefChoice which, int flags);

  TPointD ScaleFactors() const { return CurrentCalcul().Scale(); }
  double MaxValue(int v, int n, int code) const { return CurrentCalcul().MaxValue(v, n, code); }
  double MinValue(int v, int n, int code) const { return CurrentCalcul().MinValue(v, n, code); }
  double MaxValueAll(int v, int code) const { return CurrentCalcul().MaxValueAll(v, code); }
  double MinValueAll(int v, int code) const { return CurrentCalcul().MinValueAll(v, code); }
  int SampleCount() const { return CurrentCalcul().SampleCount(); }
  double ValueAt(int v, int n, int code, int j) const {
    return CurrentCalcul().ValueAt(v, n, code, j);
  }
  double TimeAt(int j) const;
  TDoubleDynArray Times() const { return CurrentCalcul().Times(); }
  TIntegerDynArray SampleNumbers() const { return CurrentCalcul().SampleNumbers(); }
  int FrameOf(int n, int j) const;
  TIntegerDynArray FramesOf(int n) const;

 private:
  // fixed first, transparent second; the transparent one is freed first
  std::unique_ptr<TKinematicsSource> fixedSource_, transparentSource_;
  std::unique_ptr<TCalcul> fixed_, transparent_;
  std::function<bool()> transparentMode_;
};

}  // namespace mlb
