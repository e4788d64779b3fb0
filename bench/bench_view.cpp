// The video view on the 720p H.264 benchmark file (MOTILAB_BENCH_H264, made
// by bench/video_bench.sh) with 1 000 marks: painting one frame with the
// marks, and one step forward or back followed by the painting.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "common/UnitMessageBox.h"
#include "measurement/UnitData.h"
#include "video/UnitVideo.h"

namespace {

using namespace mlb;

struct Setup {
  TRecordingMessageBox box;
  TMessageBoxGuard guard{&box};
  TVideo view;
  TData data{&view};
  bool ok = false;

  Setup() {
    view.resize(1280, 720);
    view.SetData(&data);
    ok = view.OpenVideo(qEnvironmentVariable("MOTILAB_BENCH_H264"));
    if (!ok) return;
    view.Picture();
    data.Reset();
    data.SetRequiredDuration(view.FrameDuration());
    data.SetMarksNumberPerFrame(2);
    for (int f = 0; f < 500 && f < view.Frames(); ++f) {
      view.GoTo(f);
      const int x = 40 + (f * 37) % 1200, y = 40 + (f * 23) % 640;
      data.PlaceMark({x, y});
      data.PlaceMark({x + 12, y + 8});
    }
    data.SetMarksIsAllDrawn(true);
  }
};

Setup& Shared() {
  static Setup s;
  return s;
}

void BM_PaintFrameWith1000Marks(benchmark::State& state) {
  Setup& s = Shared();
  if (!s.ok) return state.SkipWithError("cannot open the benchmark file");
  s.view.GoTo(300);
  for (auto _ : state) benchmark::DoNotOptimize(s.view.Picture().constBits());
  state.counters["marks"] = s.data.MarkCount();
}
BENCHMARK(BM_PaintFrameWith1000Marks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One step and the painting of the new frame, from the middle of a group of pictures.
void BM_StepAndPaint(benchmark::State& state) {
  Setup& s = Shared();
  if (!s.ok) return state.SkipWithError("cannot open the benchmark file");
  const int step = state.range(0) != 0 ? -1 : 1;
  int n = 330;
  s.view.GoTo(n);
  s.view.Picture();
  for (auto _ : state) {
    n += step;
    if (n < 240 || n > 420) n = 330;
    s.view.GoTo(n);
    benchmark::DoNotOptimize(s.view.Picture().constBits());
  }
  state.SetLabel(step < 0 ? "back" : "forward");
}
BENCHMARK(BM_StepAndPaint)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
