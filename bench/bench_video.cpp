// Benchmarks of the FFmpeg frame source on the files named by
// MOTILAB_BENCH_H264 and MOTILAB_BENCH_MJPEG (made by bench/video_bench.sh):
// sequential decoding, one step back, random jumps, and the cache size.
#include <random>

#include <QString>

#include <benchmark/benchmark.h>

#include "backends/ffmpeg/UnitFFMpegPlay.h"
#include "backends/vfw/UnitVfwPlay.h"

namespace {

using namespace mlb;

QString File(const char* var) {
  return qEnvironmentVariable(var);
}

template <class Source>
void Sequential(benchmark::State& state, const char* var) {
  const QString file = File(var);
  for (auto _ : state) {
    Source s;
    s.SetFileName(file);
    if (!s.Opened) {
      state.SkipWithError("cannot open the benchmark file");
      return;
    }
    for (int n = 0; n < s.FrameCount; ++n) {
      s.SetPosition(n);
      benchmark::DoNotOptimize(s.CurrentFrame().constBits());
    }
    state.counters["frames"] = s.FrameCount;
    state.counters["fps"] =
        benchmark::Counter(s.FrameCount, benchmark::Counter::kIsIterationInvariantRate);
  }
}
void BM_SequentialH264(benchmark::State& s) {
  Sequential<TFFMpegPlay>(s, "MOTILAB_BENCH_H264");
}
void BM_SequentialMJPEG(benchmark::State& s) {
  Sequential<TFFMpegPlay>(s, "MOTILAB_BENCH_MJPEG");
}
void BM_SequentialMJPEGVfw(benchmark::State& s) {
  Sequential<TVfwPlay>(s, "MOTILAB_BENCH_MJPEG");
}
BENCHMARK(BM_SequentialH264)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SequentialMJPEG)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SequentialMJPEGVfw)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// One step forward, then one step back, in the middle of a group of pictures.
void BM_StepH264(benchmark::State& state) {
  TFFMpegPlay s;
  s.SetFileName(File("MOTILAB_BENCH_H264"));
  if (!s.Opened) return state.SkipWithError("cannot open the benchmark file");
  const bool back = state.range(0) != 0;
  int n = s.FrameCount / 2;
  s.SetPosition(n);
  s.CurrentFrame();
  for (auto _ : state) {
    n += back ? -1 : 1;
    if (n <= 1 || n >= s.FrameCount - 1) n = s.FrameCount / 2;
    s.SetPosition(n);
    benchmark::DoNotOptimize(s.CurrentFrame().constBits());
  }
  state.SetLabel(back ? "backward" : "forward");
}
BENCHMARK(BM_StepH264)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Random jumps with a cache too small to help.
void BM_RandomJumpH264(benchmark::State& state) {
  TFFMpegPlay s(std::size_t{8} << 20);
  s.SetFileName(File("MOTILAB_BENCH_H264"));
  if (!s.Opened) return state.SkipWithError("cannot open the benchmark file");
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> any(0, s.FrameCount - 1);
  for (auto _ : state) {
    s.SetPosition(any(rng));
    benchmark::DoNotOptimize(s.CurrentFrame().constBits());
  }
}
BENCHMARK(BM_RandomJumpH264)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

void BM_CacheBound1080p(benchmark::State& state) {
  for (auto _ : state) {
    TFFMpegPlay s;
    s.SetFileName(File("MOTILAB_BENCH_1080P"));
    if (!s.Opened) return state.SkipWithError("cannot open the benchmark file");
    std::size_t peak = 0;
    for (int n = 0; n < s.FrameCount; ++n) {
      s.SetPosition(n);
      s.CurrentFrame();
      peak = std::max(peak, s.CacheBytes());
    }
    state.counters["peak_cache_MiB"] = static_cast<double>(peak) / (1 << 20);
  }
}
BENCHMARK(BM_CacheBound1080p)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
