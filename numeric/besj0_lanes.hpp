// J0 of several single-precision arguments at once, each exactly as BESJ0 computes it.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace kelvor::numeric {

// Arguments per call of BESJ0N: the sixteen nodes of the aperture integral.
inline constexpr std::size_t J0LANES = 16;

// J(i) = BESJ0(X(i)) bit for bit, for every lane i (a NaN result may be another NaN); the series
// of the lanes run side by side.
// Runs on the widest lanes of the processor (j0_lane_variants().front()).
void BESJ0N(const std::array<float, J0LANES> &X, std::array<float, J0LANES> &J);

// One build of BESJ0N's lanes for one instruction-set width; every variant gives the same bits
// (IEEE operations round alike at any vector width, and none is fused).
struct J0LaneVariant {
  const char *name;
  void (*run)(const std::array<float, J0LANES> &X, std::array<float, J0LANES> &J);
};

// The variants this processor runs, the widest first; the last is the baseline, which runs on
// every processor of the target.
std::span<const J0LaneVariant> j0_lane_variants();

} // namespace kelvor::numeric
