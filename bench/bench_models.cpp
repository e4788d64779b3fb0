// Benchmarks of the iterative fit: each non-linear model fitted to 1 000
// points and to a lesson-sized 300 points.
#include <cmath>
#include <random>

#include <benchmark/benchmark.h>

#include "models/UnitMarquardt.h"

namespace {

using namespace mlb;

void Data(int code, int n, TDoubleDynArray& X, TDoubleDynArray& Y) {
  std::mt19937 rng(42);
  std::normal_distribution<double> noise(0.0, 0.01);
  X.clear(), Y.clear();
  for (int i = 0; i < n; ++i) {
    const double t = 10.0 * i / n;
    double y;
    switch (code) {
      case mmExponential:
        y = 0.3 + 1.2 * std::exp(-0.4 * t);
        break;
      case mmSine:
        y = 0.5 * std::sin(2.1 * t + 0.4);
        break;
      case mmSineExp:
        y = 0.5 * std::sin(2.1 * t + 0.4) * std::exp(-0.15 * t);
        break;
      default:
        y = 0.5 * std::sin(2.1 * t + 0.4) * (1 - 0.08 * t);
    }
    X.push_back(t);
    Y.push_back(y + noise(rng));
  }
}

void BM_Fit(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0)), n = static_cast<int>(state.range(1));
  TDoubleDynArray X, Y, p;
  Data(code, n, X, Y);
  int iterations = 0, status = 0;
  for (auto _ : state) {
    status = MarquardtFit(X, Y, code, p, &iterations);
    benchmark::DoNotOptimize(p.data());
  }
  state.counters["iterations"] = iterations;
  state.counters["status"] = status;
}
BENCHMARK(BM_Fit)
    ->ArgsProduct({{mmExponential, mmSine, mmSineExp, mmSineLin}, {300, 1000}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
