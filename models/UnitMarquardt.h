// Iterative least-squares fit of the non-linear models: Levenberg-Marquardt
// steps, each followed by a line search (bracketing and golden section).
#pragma once

#include "common/UnitTypes.h"

namespace mlb {

// Model codes of the non-linear fits.
enum TMarquardtModel : int {
  mmExponential = 2,  // r + b exp(c t)
  mmSine = 6,         // r + b sin(c t + d), r = mid-range of y
  mmSineExp = 7,      // r + b sin(c t + d) exp(k t), r = mean of y
  mmSineLin = 8,      // r + b sin(c t + d) (1 + k t) until the oscillation stops, r = mean of y
};

enum TMarquardtStatus : int {
  msConverged = 0,
  msSingular = -1,        // singular linear system
  msDampingLimit = -2,    // damping factor beyond 1000
  msIterationLimit = -3,  // 50 iterations, or 100 in a line search
  msTooFewPoints = -4,    // fewer points than parameters: nothing fitted
  msFault = 4,            // a floating-point fault: parameters untouched
};

// Fits the model to the points. Except for msFault and msTooFewPoints the
// parameters receive what was reached: code 2 (r, b, c); code 6 (r, b, c, d);
// codes 7 and 8 (r, b, c, d, k).
int MarquardtFit(const TDoubleDynArray& X, const TDoubleDynArray& Y, int code,
                 TDoubleDynArray& params, int* iterations = nullptr);

// Angular frequency from the first two sign changes of a centred series:
// pi over the distance between their midpoints; `def` with fewer changes.
double FrequencyEstimate(const TDoubleDynArray& X, const TDoubleDynArray& centredY, double def);

// Stop time of an oscillation damped by solid friction (b sin(c t + d)(1 + k t)
// with k < 0): the zero of the slope near the end of the envelope; +infinity
// when the model does not stop (k >= 0, c <= 0).
double SinusAlStopTime(double b, double c, double d, double k);
// b sin(c t + d)(1 + k t) up to the stop time, its value there afterwards.
double SinusAlValue(double b, double c, double d, double k, double t, double stop);

}  // namespace mlb
