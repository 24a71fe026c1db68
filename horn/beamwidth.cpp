// Beamwidth of a corrugated horn from universal pattern tables: the aperture pattern variable
// u = (2 pi a / lambda) sin(theta) at four levels, tabulated against the phase deviation S and
// read by quadratic interpolation, with the beam edge corrected for the obliquity factor
// (1 + cos theta)/2 by scaling the beamwidth with the square root of a ratio of levels.
#include "horn/beamwidth.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "horn/obliquity.hpp"
#include "numeric/algip.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::kDegToRad;
using numeric::kTwoPiBeamwidth;
using numeric::rounded;

namespace {

// Pattern levels of the four table columns, dB below the on-axis value.
static constexpr std::array<float, 4> LEVDB = {3.01f, 6.02f, 10.0f, 20.0f};

// UBW(m, KLEV): the value of u at which the far-field pattern of the aperture field
// J0(2.4048255 rho) exp(-j 2 pi S rho^2) has fallen by the level of column KLEV (exactly half
// power and half amplitude for columns 1 and 2), for S = (m-1) * 0.04 cycles, m = 1..26.
// Stored column by column, as UBW[KLEV-1][m-1], so that each column is one uniform table.
static constexpr std::array<std::array<float, 26>, 4> UBW = {{
    // KLEV 1: 3.01 dB
    {2.077948f, 2.079126f, 2.082687f, 2.088718f, 2.097361f, 2.108829f, 2.123423f,
     2.141534f, 2.163687f, 2.190569f, 2.223088f, 2.26245f,  2.310278f, 2.368799f,
     2.441116f, 2.53167f,  2.646942f, 2.796551f, 2.994612f, 3.259663f, 3.60609f,
     4.018924f, 4.447527f, 4.85362f,  5.233142f, 5.598391f},
    // KLEV 2: 6.02 dB
    {2.87668f,  2.878914f, 2.885682f, 2.897174f, 2.91372f,  2.935814f, 2.964156f,
     2.999698f, 3.043733f, 3.098007f, 3.164913f, 3.247745f, 3.35108f,  3.481292f,
     3.647004f, 3.858696f, 4.125004f, 4.442953f, 4.79077f,  5.14186f,  5.484654f,
     5.823429f, 6.170955f, 6.544096f, 6.959558f, 7.420911f},
    // KLEV 3: 10 dB
    {3.597773f, 3.602028f, 3.614957f, 3.637064f, 3.669239f, 3.712862f, 3.769938f,
     3.843345f, 3.93717f,  4.057178f, 4.211246f, 4.40895f,  4.657804f, 4.953253f,
     5.271952f, 5.587811f, 5.891289f, 6.187748f, 6.489644f, 6.813403f, 7.178843f,
     7.604236f, 8.085205f, 8.57728f,  9.039486f, 9.470125f},
    // KLEV 4: 20 dB
    {4.671149f,  4.687815f,  4.74047f,  4.838681f,  5.006063f,  5.305258f,  5.845149f,
     6.337917f,  6.661299f,  6.917881f, 7.15341f,   7.393873f,  7.66329f,   7.993631f,
     8.426123f,  8.947212f,  9.435171f, 9.851454f,  10.233665f, 10.625013f, 11.074522f,
     11.635614f, 12.265827f, 12.82365f, 13.305925f, 13.770584f},
}};
static_assert(UBW.size() == LEVDB.size());

// Grid of the table rows: S = (m-1) * 0.04; S lies between the first two of its three rows.
constexpr float kStep = 0.04f;
constexpr float kOffset = 1.0f;

bool valid_level(const int &KLEV) {
  return KLEV >= 1 && KLEV <= static_cast<int>(LEVDB.size());
}

// u at the level of column KLEV for the phase deviation S (KLEV already checked).
float table_value(const float &S, const int &KLEV) {
  return numeric::grid_lookup(UBW[static_cast<std::size_t>(KLEV - 1)], kStep, kOffset, S);
}

// Loss in dB of the obliquity factor (1 + cos theta)/2 at the edge theta = W/2 of a beam of full
// width W degrees: zero on the axis, 6.02 dB at 90 degrees off it.
float obliquity_loss(const float &W) {
  return rounded(-20 * std::log10(obliquity_factor(double{kDegToRad} * W / 2)));
}

} // namespace

void CCBWD(const float &PHDEV, float &ARADWL, const float &BWDEG, const int &KLEV) {
  if (!valid_level(KLEV)) {
    ARADWL = std::numeric_limits<float>::quiet_NaN();
    return;
  }
  const float L = LEVDB[static_cast<std::size_t>(KLEV - 1)];
  // The obliquity factor lowers the pattern edge by T dB, so the aperture pattern alone must
  // reach the level L + T at the required angle: widen the beam by sqrt((T + L)/L), the
  // near-Gaussian main lobe falling as the square of the angle.
  const float T = obliquity_loss(BWDEG);
  const float BWC = rounded(double{BWDEG} * std::sqrt((double{T} + L) / L));
  const float U = table_value(PHDEV, KLEV);
  ARADWL = rounded(double{U} / (double{kTwoPiBeamwidth} * std::sin(double{kDegToRad} * BWC / 2)));
}

void CCBWT(const float &PHDEV, const float &ARADWL, float &BWDEG, const int &KLEV) {
  if (!valid_level(KLEV)) {
    BWDEG = std::numeric_limits<float>::quiet_NaN();
    return;
  }
  const float L = LEVDB[static_cast<std::size_t>(KLEV - 1)];
  const float U = table_value(PHDEV, KLEV);
  BWDEG = -180.0f;
  // x = sin(theta) at the aperture pattern's edge; an aperture too small for the pattern ever
  // to fall to the level has x >= 1 and keeps the mark -180. A NaN x is carried through.
  const float x = rounded(double{U} / (double{kTwoPiBeamwidth} * ARADWL));
  if (x >= 1.0f)
    return;
  const float BW0 = rounded(2 * std::atan(double{x} / std::sqrt(1 - double{x} * x)) / kDegToRad);
  // The obliquity factor takes T dB more at that edge, so the level L is reached at a narrower
  // angle: scale by sqrt(L/(T + L)).
  const float T = obliquity_loss(BW0);
  BWDEG = rounded(double{BW0} * std::sqrt(double{L} / (double{T} + L)));
}

} // namespace kelvor::horn
