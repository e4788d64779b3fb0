// The measurement the benchmarks work on: kPoints points on kFrames frames,
// each a damped swing, with a scale and the results bound to the data.
#pragma once

#include <cmath>

#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitStaticView.h"

namespace mlb::bench {

constexpr int kPoints = 10;
constexpr int kFrames = 10000;

struct Experiment {
  TStaticView view{kFrames + 1, 1920, 1080};
  TData data{&view};
  TResCalc res{data};
  Experiment() {
    view.onInvalidate = [this](TRefChoice w) { res.Invalidate(w); };
    data.Reset();
    data.SetRequiredDuration(0.01);
    data.Echelle().Points[skSingle] = {TPointD{0.1, 0.9}, TPointD{0.9, 0.9}};
    data.Echelle().PointsNumber[skSingle] = 2;
    data.Echelle().SetLength(skSingle, 2.0);
    data.SetMarksNumberPerFrame(kPoints);
    TMatricePointD positions(kPoints, TPointDDynArray(kFrames));
    TMatriceI frames(kPoints, TIntegerDynArray(kFrames));
    for (int k = 0; k < kPoints; ++k)
      for (int f = 0; f < kFrames; ++f) {
        const double t = f * 0.01;
        positions[k][f] = {0.5 + 0.3 * std::exp(-0.05 * t) * std::sin(t + k),
                           0.3 + 0.05 * k + 0.01 * std::cos(2 * t)};
        frames[k][f] = f;
      }
    data.ImportMarks(positions, frames);
  }
};

}  // namespace mlb::bench
