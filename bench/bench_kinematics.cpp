// Benchmarks of the measurement core: kinematics of 10 points x 10 000 frames
// with and without smoothing, and placing / undoing 100 000 marks.
#include <cmath>

#include <benchmark/benchmark.h>

#include "bench/Experiment.h"
#include "common/UnitMessageBox.h"
#include "kinematics/UnitResultats.h"
#include "measurement/UnitData.h"
#include "measurement/UnitStaticView.h"

namespace {

using namespace mlb;
using namespace mlb::bench;

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
