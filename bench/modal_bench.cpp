// The mode-matching engine against its speed targets: a corrugated horn of 60 slots (about 125
// sections) at the default mode counts, <= 10 ms per frequency on one core, and 101 frequencies in
// <= 0.5 s on two cores. The horn is modal/example_horn.hpp's.
#include <benchmark/benchmark.h>

#include <vector>

#include "modal/analysis.hpp"
#include "modal/example_horn.hpp"
#include "modal/staircase.hpp"
#include "modal/sweep.hpp"

namespace {

using namespace kelvor::modal;

const Profile kHorn = sixty_slot_horn();

void horn_one_frequency(benchmark::State &state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(analyse(kHorn, 10.0, {Termination::matched}));
}
BENCHMARK(horn_one_frequency)->Unit(benchmark::kMillisecond);

// The two sweeps alone (couplings prepared once), in either build of their kernel: the AVX2 one
// where the CPU has it, and the portable one that the other CPUs, Windows and the page run.
void horn_sweep(benchmark::State &state, SweepBuild build) {
  const Staircase staircase = prepare_staircase(kHorn, proportional_mode_counts(kHorn, 47, 2));
  for (auto _ : state)
    benchmark::DoNotOptimize(te11_response(staircase, 10.0, build));
}
BENCHMARK_CAPTURE(horn_sweep, fastest, SweepBuild::fastest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(horn_sweep, portable, SweepBuild::portable)->Unit(benchmark::kMillisecond);

void horn_band_101(benchmark::State &state) {
  std::vector<double> freqs_ghz;
  for (int i = 0; i <= 100; ++i)
    freqs_ghz.push_back(9.0 + 0.03 * i); // 9 to 12 GHz
  for (auto _ : state)
    benchmark::DoNotOptimize(analyse_band(kHorn, freqs_ghz, {Termination::matched}));
}
BENCHMARK(horn_band_101)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
