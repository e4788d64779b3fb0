// Benchmarks of the project file: saving and loading 10 points x 10 000 frames.
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/Experiment.h"
#include "measurement/UnitMlb.h"

namespace {

using namespace mlb;
using namespace mlb::bench;

void BM_SaveProject(benchmark::State& state) {
  Experiment e;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.mlb"));
  for (auto _ : state) {
    TIniFile ini;
    WriteProject(ini, CaptureProject(e.data));
    if (!ini.SaveToFile(path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
  Experiment e;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.mlb"));
  TIniFile out;
  WriteProject(out, CaptureProject(e.data));
  out.SaveToFile(path);
  TStaticView view(kFrames + 1, 1920, 1080);
  TData target(&view);
  for (auto _ : state) {
    TIniFile ini;
    TProjectData p;
    if (!ini.LoadFromFile(path) || !ReadProject(ini, p)) state.SkipWithError("load failed");
    ApplyProject(target, p);
  }
  state.counters["marks"] = target.FixedStore().MarkCount();
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
