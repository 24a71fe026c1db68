// Gain of a corrugated horn: 20 log10(2 pi a / lambda), the gain of a uniform in-phase circular
// aperture, less the efficiency loss of the J0-tapered, quadratically phased hybrid-mode
// aperture field, read by quadratic interpolation from a table over phase deviations 0 ... 1.
#include "horn/gain.hpp"

#include <array>
#include <cmath>

#include "horn/geometry.hpp"
#include "numeric/algip.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::kDbPerNeperGain;
using numeric::kLightOverTwoPi;
using numeric::rounded;

namespace {

// Loss in dB, -10 log10 of the aperture efficiency of J0(2.4048255 rho) exp(-j 2 pi S rho^2)
// against a uniform in-phase aperture, for S = (m-1) * 0.02 cycles, m = 1..51, to 0.001 dB.
static constexpr std::array<float, 51> GLOSS = {
    1.601f, 1.605f, 1.615f, 1.633f, 1.658f, 1.69f,   1.729f,  1.776f, 1.829f, 1.89f,  1.958f,
    2.033f, 2.115f, 2.205f, 2.302f, 2.406f, 2.517f,  2.636f,  2.763f, 2.896f, 3.037f, 3.186f,
    3.342f, 3.506f, 3.677f, 3.855f, 4.041f, 4.234f,  4.435f,  4.644f, 4.859f, 5.082f, 5.312f,
    5.549f, 5.792f, 6.043f, 6.3f,   6.563f, 6.832f,  7.106f,  7.385f, 7.669f, 7.956f, 8.247f,
    8.54f,  8.834f, 9.129f, 9.423f, 9.715f, 10.004f, 10.288f,
};

// Grid S = (m-1) * 0.02; the offset 1.1 moves to the next stencil already within a tenth of a
// step below a grid point.
constexpr float kStep = 0.02f;
constexpr float kOffset = 1.1f;

} // namespace

void CRNGN(const float &FREQ, const float &ARAD, const float &SRAD, float &GAINDB) {
  // Maximum aperture phase deviation in cycles; an infinite slant radius (flat phase) gives 0.
  const float S = phase_deviation(ARAD, SRAD, wavelength(FREQ));
  const float LOSS = numeric::grid_lookup(GLOSS, kStep, kOffset, S);
  GAINDB =
      rounded(double{kDbPerNeperGain} * std::log(double{ARAD} * FREQ / kLightOverTwoPi) - LOSS);
}

} // namespace kelvor::horn
