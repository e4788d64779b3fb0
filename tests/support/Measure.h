// A measurement set up as most kinematics tests need it: a 640 x 480 video,
// 0.5 m over 200 pixels (0.0025 m per pixel), the origin at (320, 240), the
// results invalidated by the data.
#pragma once

#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "tests/support/FakeView.h"

namespace mlb::test {

inline void ScaleAndOrigin(FakeView& view, TData& data, TResCalc& results, double period) {
  view.onInvalidate = [&results](TRefChoice w) { results.Invalidate(w); };
  data.Reset();
  data.SetRequiredDuration(period);
  data.Echelle().LeftPress({100, 100});
  data.Echelle().LeftPress({300, 100});
  data.Echelle().SetLength(skSingle, 0.5);
  data.RepereFixe().LeftPress({320, 240});
}

}  // namespace mlb::test
