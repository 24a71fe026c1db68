// J0 of several single-precision arguments at once, each exactly as BESJ0 computes it.
#pragma once

#include <array>
#include <cstddef>

namespace kelvor::numeric {

// Arguments per call of BESJ0N: the sixteen nodes of the aperture integral.
inline constexpr std::size_t J0LANES = 16;

// J(i) = BESJ0(X(i)) bit for bit, for every lane i (a NaN result may be another NaN); the series
// of the lanes run side by side.
void BESJ0N(const std::array<float, J0LANES> &X, std::array<float, J0LANES> &J);

} // namespace kelvor::numeric
