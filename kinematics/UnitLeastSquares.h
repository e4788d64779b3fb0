// Least-squares polynomial fit in a Chebyshev basis.
#pragma once

#include "common/UnitTypes.h"

namespace mlb {

// PolyFit statuses.
enum TPolyFitStatus : int {
  pfOk = 0,
  pfSingular = 1,      // normal matrix singular
  pfTooFewPoints = 2,  // fewer than 2 points
  pfNoCoefficient = 3,
  pfSameAbscissa = 4,  // all abscissas equal
};

// Fits y ~ a0 + a1 x + ... + a(p-1) x^(p-1) to the points (X, Y) (kind 0 is
// the only kind). With more coefficients than points, p becomes n - 1.
// On success `coefficients` receives the p power coefficients; on failure it
// is left unchanged. One fit at a time: the working store is shared.
int PolyFit(int kind, int coefficientCount, const TDoubleDynArray& X, const TDoubleDynArray& Y,
            TDoubleDynArray& coefficients);

// Sum of squared fitted values over sum of squared ordinates of the last fit
// (0 when the ordinates are all ~0 or the last fit failed).
double LastFitR2();

// Residual standard deviation of the last fit (0 when it interpolates).
double LastFitStdDev();

// Mean of a series (0 when empty).
double Mean(const TDoubleDynArray& v);

}  // namespace mlb
