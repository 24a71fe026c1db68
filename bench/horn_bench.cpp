// Timing of the horn-model routines and of J0 on both sides of its switch point, per call.
#include <benchmark/benchmark.h>

#include "horn/beamwidth.hpp"
#include "horn/gain.hpp"
#include "horn/pattern.hpp"
#include "horn/phase_centre.hpp"
#include "numeric/besj0.hpp"

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

void BM_CCH11(benchmark::State &state) {
  float freq = 10.0f, arad = 2.36057f, srad = 9.44228f, theta = 0.1745329f;
  float level = 0.0f, phase = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(theta);
    horn::CCH11(freq, arad, srad, theta, level, phase);
    benchmark::DoNotOptimize(level);
    benchmark::DoNotOptimize(phase);
  }
}
BENCHMARK(BM_CCH11);

void BM_CHPCT(benchmark::State &state) {
  float freq = 10.0f, arad = 2.36057f, srad = 9.44228f, bw = 20.0f, pctr = 0.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bw);
    horn::CHPCT(freq, arad, srad, bw, pctr);
    benchmark::DoNotOptimize(pctr);
  }
}
BENCHMARK(BM_CHPCT);

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
