// J0 of several single-precision arguments at once, each exactly as BESJ0 computes it.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace kelvor::numeric {

// Arguments per call of BESJ0N: the sixteen nodes of the aperture integral, or the nodes of four
// aperture integrals side by side (J0LANES4).
inline constexpr std::size_t J0LANES = 16;
inline constexpr std::size_t J0LANES4 = 4 * J0LANES;

// J(i) = BESJ0(X(i)) bit for bit, for every lane i (a NaN result may be another NaN); the series
// of the lanes run side by side, on the widest vectors of the processor (the first of
// j0_lane_variants). N is J0LANES or J0LANES4: one series after another waits for each of its
// divisions, and only enough lanes keep the wide vectors busy.
template <std::size_t N> void BESJ0N(const std::array<float, N> &X, std::array<float, N> &J);

// One build of BESJ0N's lanes for one instruction-set width; every variant gives the same bits
// (IEEE operations round alike at any vector width, and none is fused).
template <std::size_t N> struct J0LaneVariant {
  const char *name;
  void (*run)(const std::array<float, N> &X, std::array<float, N> &J);
};

// The variants this processor runs, the widest first; the last is the baseline, which runs on
// every processor of the target.
template <std::size_t N> std::span<const J0LaneVariant<N>> j0_lane_variants();

extern template void BESJ0N<J0LANES>(const std::array<float, J0LANES> &,
                                     std::array<float, J0LANES> &);
extern template void BESJ0N<J0LANES4>(const std::array<float, J0LANES4> &,
                                      std::array<float, J0LANES4> &);
extern template std::span<const J0LaneVariant<J0LANES>> j0_lane_variants<J0LANES>();
extern template std::span<const J0LaneVariant<J0LANES4>> j0_lane_variants<J0LANES4>();

} // namespace kelvor::numeric
