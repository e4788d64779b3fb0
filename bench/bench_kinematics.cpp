// Benchmarks of the measurement core: kinematics of 10 points x 10 000 frames
// with and without smoothing, and placing / undoing 100 000 marks.
#include <cmath>

#include <benchmark/benchmark.h>

#include "common/UnitMessageBox.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitStaticView.h"

namespace {

using namespace mlb;

constexpr int kPoints = 10;
constexpr int kFrames = 10000;

// A measurement of kPoints points on kFrames frames: a damped swing each.
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

void BM_Kinematics(benchmark::State& state) {
  Experiment e;
  const int flags = static_cast<int>(state.range(0));
  for (auto _ : state) {
    e.res.Invalidate(rcBoth);
    if (e.res.BuildPositions() != 0 || !e.res.Compute(rcCurrent, flags))
      state.SkipWithError("calculation failed");
    benchmark::DoNotOptimize(e.res.ValueAt(avAxes, 0, grA, 100));
  }
  state.SetLabel(flags ? "smoothing" : "no smoothing");
}
BENCHMARK(BM_Kinematics)
    ->Arg(0)
    ->Arg(smoothSpeed | smoothAcceleration)
    ->Unit(benchmark::kMillisecond);

void BM_PlaceAndUndoMarks(benchmark::State& state) {
  const int marks = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TStaticView view(marks / kPoints + 2, 1920, 1080);
    TData data(&view);
    data.Reset();
    data.SetMarksNumberPerFrame(kPoints);
    for (int i = 0; i < marks; ++i) data.PlaceMark({100 + i % 1000, 100 + (i / kPoints) % 800});
    for (int i = 0; i < marks; ++i) data.Undo();
    if (data.MarkCount() != marks - static_cast<int>(THistorique::kMaxEntries) &&
        data.MarkCount() != 0)
      state.SkipWithError("unexpected mark count");
  }
  state.SetItemsProcessed(state.iterations() * marks);
}
BENCHMARK(BM_PlaceAndUndoMarks)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
