// Timing of the horn-model routines and of J0 on both sides of its switch point, per call.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>

#include "horn/beamwidth.hpp"
#include "horn/gain.hpp"
#include "horn/pattern.hpp"
#include "horn/phase_centre.hpp"
#include "numeric/besj0.hpp"
#include "numeric/besj0_lanes.hpp"

namespace {

using namespace kelvor;

// Each input passes through DoNotOptimize so that the call cannot be folded at compile time.
void BM_BESJ0_series(benchmark::State &state) {
  float x = 7.3f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(numeric::BESJ0(x));
  }
}
BENCHMARK(BM_BESJ0_series);

void BM_BESJ0_small_argument(benchmark::State &state) {
  float x = 1.2f; // the taper's range, below the first zero
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(numeric::BESJ0(x));
  }
}
BENCHMARK(BM_BESJ0_small_argument);

void BM_BESJ0_asymptotic(benchmark::State &state) {
  float x = 17.5f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(numeric::BESJ0(x));
  }
}
BENCHMARK(BM_BESJ0_asymptotic);

// The reference pattern routine and the fast one, which gives the same bits.
using Pattern = void (*)(const float &, const float &, const float &, const float &, float &,
                         float &);
void pattern_point(benchmark::State &state, Pattern pattern) {
  float freq = 10.0f, arad = 2.36057f, srad = 9.44228f, theta = 0.1745329f;
  float level = 0.0f, phase = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(theta);
    pattern(freq, arad, srad, theta, level, phase);
    benchmark::DoNotOptimize(level);
    benchmark::DoNotOptimize(phase);
  }
}
void BM_CCH11(benchmark::State &state) {
  pattern_point(state, horn::CCH11);
}
void BM_CCH11F(benchmark::State &state) {
  pattern_point(state, horn::CCH11F);
}
BENCHMARK(BM_CCH11);
BENCHMARK(BM_CCH11F);

// The sixteen kernel arguments u rho of one pattern point near the beam edge (u = 3.2), one
// BESJ0 after the other and side by side: what the lanes of BESJ0N gain.
std::array<float, numeric::J0LANES> kernel_arguments() {
  std::array<float, numeric::J0LANES> x{};
  for (std::size_t i = 0; i < x.size(); ++i)
    x[i] = 3.2f * (static_cast<float>(i) + 0.5f) / static_cast<float>(x.size());
  return x;
}

void BM_BESJ0_sixteen_one_by_one(benchmark::State &state) {
  auto x = kernel_arguments();
  std::array<float, numeric::J0LANES> j{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    for (std::size_t i = 0; i < x.size(); ++i)
      j[i] = numeric::BESJ0(x[i]);
    benchmark::DoNotOptimize(j);
  }
}
BENCHMARK(BM_BESJ0_sixteen_one_by_one);

void BM_BESJ0N_sixteen_side_by_side(benchmark::State &state) {
  auto x = kernel_arguments();
  std::array<float, numeric::J0LANES> j{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    numeric::BESJ0N(x, j);
    benchmark::DoNotOptimize(j);
  }
}
BENCHMARK(BM_BESJ0N_sixteen_side_by_side);

// Each vector width this processor runs, on sixteen lanes (one pattern point) and on sixty-four
// (the four off-axis samples of a phase centre, u = 3.2, 2.4, 1.6 and 0.8): the cost per call.
template <std::size_t N>
void lanes_by_width(benchmark::State &state, const numeric::J0LaneVariant<N> &variant) {
  const auto one = kernel_arguments();
  std::array<float, N> x{}, j{};
  for (std::size_t i = 0; i < N; ++i)
    x[i] = one[i % one.size()] * static_cast<float>(4 - i / one.size()) / 4;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    variant.run(x, j);
    benchmark::DoNotOptimize(j);
  }
}
template <std::size_t N> bool register_lanes_by_width() {
  for (const auto &v : numeric::j0_lane_variants<N>())
    benchmark::RegisterBenchmark(("BM_BESJ0N_" + std::to_string(N) + "_lanes_" + v.name).c_str(),
                                 [&v](benchmark::State &state) { lanes_by_width<N>(state, v); });
  return true;
}
const bool lanes_registered =
    register_lanes_by_width<numeric::J0LANES>() && register_lanes_by_width<numeric::J0LANES4>();

// The phase centre through the fast pattern routine (CHPCT) and the reference (CHPCTR).
using PhaseCentre = void (*)(const float &, const float &, const float &, const float &, float &);
void phase_centre(benchmark::State &state, PhaseCentre routine) {
  float freq = 10.0f, arad = 2.36057f, srad = 9.44228f, bw = 20.0f, pctr = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bw);
    routine(freq, arad, srad, bw, pctr);
    benchmark::DoNotOptimize(pctr);
  }
}
void BM_CHPCT(benchmark::State &state) {
  phase_centre(state, horn::CHPCT);
}
void BM_CHPCTR(benchmark::State &state) {
  phase_centre(state, horn::CHPCTR);
}
BENCHMARK(BM_CHPCT);
BENCHMARK(BM_CHPCTR);

void BM_CCBWT(benchmark::State &state) {
  float phdev = 0.1f, aradwl = 2.212888f, bw = 0.0f;
  const int klev = 3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(phdev);
    horn::CCBWT(phdev, aradwl, bw, klev);
    benchmark::DoNotOptimize(bw);
  }
}
BENCHMARK(BM_CCBWT);

void BM_CRNGN(benchmark::State &state) {
  float freq = 10.0f, arad = 2.0f, srad = 10.0f, gain = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(freq);
    horn::CRNGN(freq, arad, srad, gain);
    benchmark::DoNotOptimize(gain);
  }
}
BENCHMARK(BM_CRNGN);

} // namespace
