// J0 of sixteen or sixty-four arguments at once. BESJ0's ascending series is a chain of dependent
// divisions: for one argument the processor waits for each term before it can start the next.
// Here the series run side by side in plain loops over the lanes, which the compiler turns into
// packed double-precision operations whose divisions overlap. Sixteen lanes are still bound by
// the chain's latency; sixty-four fill AVX2 and AVX-512 vectors (twice the rate of sixteen).
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
//
// The same source is compiled once per vector width (on x86-64: 512-bit AVX-512, 256-bit AVX2
// and the baseline's 128-bit SSE2) and the widest the processor runs is chosen on the first call.
// Each width keeps the build's -ffp-contract=off: AVX-512 and FMA-capable processors are not
// allowed to fuse. Elsewhere (Windows, whose 16-byte stack alignment wide spills do not respect,
// and WebAssembly) only the baseline is built.
#include "numeric/besj0_lanes.hpp"

#include <cstdint>
#include <cstring>

#include "numeric/besj0.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::numeric {

namespace {

template <std::size_t N> using Lanes = std::array<float, N>;
template <std::size_t N> using Mask = std::array<std::int32_t, N>; // 1 while a lane goes on

[[gnu::always_inline]] inline bool on_series(float x) {
  return x <= kJ0SeriesLimit;
}

// The bits of a float and back (std::memcpy: std::bit_cast is missing from some of the standard
// libraries the program is built with).
[[gnu::always_inline]] inline std::uint32_t bits_of(float x) {
  std::uint32_t b = 0;
  std::memcpy(&b, &x, sizeof b);
  return b;
}
[[gnu::always_inline]] inline float from_bits(std::uint32_t b) {
  float x = 0.0f;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

// a where the lane's mask is 1, b where it is 0: a select by bits, which the compiler keeps
// packed (a conditional expression becomes a branch per lane).
[[gnu::always_inline]] inline float pick(std::int32_t mask, float a, float b) {
  const auto sel = static_cast<std::uint32_t>(-mask);
  return from_bits((bits_of(a) & sel) | (bits_of(b) & ~sel));
}

// Adds one block of five terms to every lane; returns whether any lane still goes on. Inlined
// into every width's build, so that each is compiled for its own instructions.
template <std::size_t N>
[[gnu::always_inline]] inline bool add_block(const Lanes<N> &s, Lanes<N> &t, Lanes<N> &sum,
                                             Mask<N> &live, float &k) {
  Lanes<N> b{};
  for (int term = 0; term < kJ0BlockTerms; ++term) {
    const double kk = double{k} * k;
    // Kept a loop for the vectoriser: unrolled first (g++ -O3 does so for sixteen lanes on the
    // narrower widths) it would become sixteen scalar divisions.
#pragma GCC unroll 1
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
    sum[i] = pick(live[i], next, sum[i]);
    t[i] = pick(go, t[i], 0.0f);
    live[i] = go;
    any |= go;
  }
  return any != 0;
}

// The whole of BESJ0N, inlined into each width's build.
template <std::size_t N>
[[gnu::always_inline]] inline void besj0_lanes(const Lanes<N> &X, Lanes<N> &J) {
  Lanes<N> s{}, t{}, sum{};
  Mask<N> live{};
  std::int32_t any = 0;
  for (std::size_t i = 0; i < N; ++i) {
    live[i] = on_series(X[i]) ? 1 : 0;
    const float h = rounded(double{X[i]} / 2);
    s[i] = pick(live[i], rounded(double{h} * h), 0.0f);
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

template <std::size_t N> void baseline_lanes(const Lanes<N> &X, Lanes<N> &J) {
  besj0_lanes(X, J);
}

#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__)
#define KELVOR_WIDE_LANES 1
template <std::size_t N> [[gnu::target("avx2")]] void avx2_lanes(const Lanes<N> &X, Lanes<N> &J) {
  besj0_lanes(X, J);
}
template <std::size_t N>
[[gnu::target("avx512f")]] void avx512_lanes(const Lanes<N> &X, Lanes<N> &J) {
  besj0_lanes(X, J);
}
#endif

template <std::size_t N> struct Variants {
  std::array<J0LaneVariant<N>, 3> list{};
  std::size_t count = 0;
};

// __builtin_cpu_supports also asks whether the operating system saves the wide registers.
template <std::size_t N> Variants<N> supported_variants() {
  Variants<N> v;
#ifdef KELVOR_WIDE_LANES
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f"))
    v.list[v.count++] = {"avx512f", avx512_lanes<N>};
  if (__builtin_cpu_supports("avx2"))
    v.list[v.count++] = {"avx2", avx2_lanes<N>};
#endif
  v.list[v.count++] = {"baseline", baseline_lanes<N>};
  return v;
}

} // namespace

template <std::size_t N> std::span<const J0LaneVariant<N>> j0_lane_variants() {
  static const Variants<N> v = supported_variants<N>();
  return {v.list.data(), v.count};
}

template <std::size_t N> void BESJ0N(const std::array<float, N> &X, std::array<float, N> &J) {
  static const auto widest = j0_lane_variants<N>().front().run;
  widest(X, J);
}

template void BESJ0N<J0LANES>(const std::array<float, J0LANES> &, std::array<float, J0LANES> &);
template void BESJ0N<J0LANES4>(const std::array<float, J0LANES4> &, std::array<float, J0LANES4> &);
template std::span<const J0LaneVariant<J0LANES>> j0_lane_variants<J0LANES>();
template std::span<const J0LaneVariant<J0LANES4>> j0_lane_variants<J0LANES4>();

} // namespace kelvor::numeric
