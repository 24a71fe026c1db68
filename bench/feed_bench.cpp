// The model-true feed path against its speed targets: a design row (< 200 us), a dish
// evaluation with its optimum feed position (< 2 ms), and a band of 1000 frequencies on every
// core (< 1 s on two). The horn is the engineer's: f/D 0.4 at 11.7 GHz, -12 dB edge
// illumination, S = 0.1.
#include <benchmark/benchmark.h>

#include <vector>

#include "feed/beamwidth.hpp"
#include "feed/design.hpp"
#include "feed/dish_design.hpp"

namespace {

using namespace kelvor::feed;

constexpr double kFreq = 11.7, kFOverD = 0.4;
const Horn kHorn{0.013363, 0.034846};

void design_row(benchmark::State &state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(design_horn(kFreq, 128.02, 9.14, 0.1));
}
BENCHMARK(design_row)->Unit(benchmark::kMicrosecond);

void beamwidth(benchmark::State &state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(pattern_beamwidth(kHorn, kFreq, 10));
}
BENCHMARK(beamwidth)->Unit(benchmark::kMicrosecond);

void pattern_point(benchmark::State &state) {
  const HornPattern pattern(kHorn, kFreq);
  double theta = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pattern.field(theta));
    theta = theta < 3 ? theta + 0.01 : 0;
  }
}
BENCHMARK(pattern_point)->Unit(benchmark::kNanosecond);

void dish_evaluation(benchmark::State &state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(dish_efficiency(kHorn, kFreq, kFOverD));
}
BENCHMARK(dish_evaluation)->Unit(benchmark::kMicrosecond);

void dish_band_1000(benchmark::State &state) {
  std::vector<double> freq(1000);
  for (std::size_t i = 0; i < freq.size(); ++i)
    freq[i] = 10.7 + 2.05e-3 * static_cast<double>(i); // 10.7 to 12.75 GHz
  for (auto _ : state)
    benchmark::DoNotOptimize(dish_band(kHorn, freq, kFOverD));
}
BENCHMARK(dish_band_1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void design_for_dish_grid(benchmark::State &state) {
  const std::vector<double> freq{kFreq};
  const std::vector<double> S{0.05, 0.1, 0.2, 0.3, 0.4, 0.5};
  for (auto _ : state)
    benchmark::DoNotOptimize(design_for_dish({kFOverD, freq, kFreq}, S));
}
BENCHMARK(design_for_dish_grid)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
