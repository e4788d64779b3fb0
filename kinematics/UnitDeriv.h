// First and second time derivatives of a series sampled at video frames, by
// three-point finite differences or, with smoothing, by an adaptive choice
// between a sliding straight-line fit, a global polynomial fit and finite
// differences.
#pragma once

#include "common/UnitTypes.h"

namespace mlb {

enum TDerivStatus : int {
  dsOk = 0,
  dsTooFewValues = 2,  // 2 values or fewer
  dsBadAbscissa = 5,   // frame period <= 0 or abscissas not strictly increasing
  // Any other non-zero value is the status of a failed polynomial fit.
};

class TDeriv {
 public:
  // Copies both series and sizes First and Second to the number of values.
  void Init(const TDoubleDynArray& abscissa, const TDoubleDynArray& values, double period);
  int Derive(bool smooth);

  TDoubleDynArray First;   // per second
  TDoubleDynArray Second;  // per second squared

 private:
  TDoubleDynArray FAbscissa;  // relative frame numbers, strictly increasing
  TDoubleDynArray FValues;
  double FPeriod = 0.0;
};

// Building blocks, exposed for tests. h is the frame period in seconds.
TDoubleDynArray ThreePointDerivative(const TDoubleDynArray& X, const TDoubleDynArray& V, double h);
TDoubleDynArray PolynomialDerivative(const TDoubleDynArray& a, const TDoubleDynArray& X, double h);
TDoubleDynArray BlendedPolynomialDerivative(const TDoubleDynArray& a, const TDoubleDynArray& X,
                                            const TDoubleDynArray& V, double h);
TDoubleDynArray SlidingLineDerivative(const TDoubleDynArray& X, const TDoubleDynArray& V, double h);

}  // namespace mlb
