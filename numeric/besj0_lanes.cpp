// J0 of sixteen arguments at once. BESJ0's ascending series is a chain of dependent divisions:
// for one argument the processor waits for each term before it can start the next. Here the
// sixteen series run side by side in plain loops over the lanes, which the compiler turns into
// packed double-precision operations whose divisions overlap.
//
// Every lane performs exactly BESJ0's operations, so its result is BESJ0's bit for bit:
// - each term is the same double-precision formula of the same float operands, rounded to
//   float where BESJ0 stores it (packed IEEE operations round exactly like scalar ones, and
//   -ffp-contract=off keeps them unfused);
// - the counter k runs through the same float values in every lane, so k*k is shared;
// - the stagnation test runs per lane between blocks of five terms; a lane that has passed it
//   keeps its sum and takes no further part (its term is set to zero, so that its idle
//   arithmetic never wanders into subnormal numbers, which are slow on some processors).
// BESJ0 compares the new sum with the previous one, which at the start of every block equals
// the running sum; the lanes compare with the running sum directly.
// Arguments above 10, and NaN, go to BESJ0 itself: its asymptotic form calls sin, cos and
// sqrt, which have no exact packed counterpart.
#include "numeric/besj0_lanes.hpp"

#include <cstdint>

#include "numeric/besj0.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::numeric {

namespace {

constexpr std::size_t N = J0LANES;
using Lanes = std::array<float, N>;
using Mask = std::array<std::int32_t, N>; // 1 while a lane's series is still being summed

bool on_series(float x) {
  return x <= kJ0SeriesLimit;
}

// Adds one block of five terms to every lane; returns whether any lane still goes on.
bool add_block(const Lanes &s, Lanes &t, Lanes &sum, Mask &live, float &k) {
  Lanes b{};
  for (int term = 0; term < kJ0BlockTerms; ++term) {
    const double kk = double{k} * k;
    for (std::size_t i = 0; i < N; ++i) {
      t[i] = rounded(-(double{t[i]} * s[i]) / kk);
      b[i] = rounded(double{b[i]} + t[i]);
    }
    k = rounded(double{k} + 1);
  }
  std::int32_t any = 0;
  for (std::size_t i = 0; i < N; ++i) {
    const float next = rounded(double{sum[i]} + b[i]);
    const std::int32_t go = live[i] & (next != sum[i] ? 1 : 0);
    sum[i] = live[i] != 0 ? next : sum[i];
    t[i] = go != 0 ? t[i] : 0.0f;
    live[i] = go;
    any |= go;
  }
  return any != 0;
}

} // namespace

void BESJ0N(const std::array<float, J0LANES> &X, std::array<float, J0LANES> &J) {
  Lanes s{}, t{}, sum{};
  Mask live{};
  std::int32_t any = 0;
  for (std::size_t i = 0; i < N; ++i) {
    live[i] = on_series(X[i]) ? 1 : 0;
    const float h = rounded(double{X[i]} / 2);
    s[i] = live[i] != 0 ? rounded(double{h} * h) : 0.0f;
    t[i] = 1.0f;
    sum[i] = 1.0f;
    any |= live[i];
  }
  float k = 1.0f;
  for (int block = 0; block < kJ0Blocks && any != 0; ++block)
    any = add_block(s, t, sum, live, k) ? 1 : 0;
  for (std::size_t i = 0; i < N; ++i)
    J[i] = on_series(X[i]) ? sum[i] : BESJ0(X[i]);
}

} // namespace kelvor::numeric
