// Far field of the corrugated horn's aperture: the zero-order Hankel transform of the field
// J0(2.4048255 rho) exp(-j 2 pi s rho^2), real and imaginary parts each by a 16-point
// Gauss-Legendre rule over the normalised radius 0 ... 1; no obliquity factor.
#include "horn/pattern.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "horn/aperture_integral.hpp"
#include "horn/geometry.hpp"
#include "numeric/besj0.hpp"
#include "numeric/constants.hpp"
#include "numeric/glint.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::BESJ0;
using numeric::kDbPerNeperPattern;
using numeric::kDegToRad;
using numeric::kFirstZeroJ0;
using numeric::kTwoPiPattern;
using numeric::rounded;

namespace {

constexpr float kSmallest = 1e-6f; // below this magnitude the level is reported as -120 dB

} // namespace

float FX2(std::span<const float> PARM) {
  if (PARM.size() < 4)
    return std::numeric_limits<float>::quiet_NaN();
  const float rho = PARM[0];
  const float phi = PARM[1];
  const float part = PARM[2];
  const float u = PARM[3];
  // Aperture taper times the Hankel-transform weight rho.
  const float taper_arg = rounded(double{kFirstZeroJ0} * rho);
  float f = rounded(double{BESJ0(taper_arg)} * rho);
  // Off the axis the transform kernel J0(u rho); on it the kernel is 1.
  if (u != 0.0f) {
    const float kernel_arg = rounded(double{u} * rho);
    f = rounded(double{BESJ0(kernel_arg)} * f);
  }
  // Quadratic phase lag of the spherical wave: exp(-j phi rho^2).
  if (part == 0.0f)
    f = rounded(std::cos(double{phi} * rho * rho) * f);
  if (part == 1.0f)
    f = rounded(-(std::sin(double{phi} * rho * rho) * f));
  return f;
}

namespace {

// The rim phase 2 pi s, s the rim phase deviation in cycles; an infinite slant radius gives a flat
// phase, s = 0.
float rim_phase(float lambda, float ARAD, float SRAD) {
  return rounded(double{kTwoPiPattern} * phase_deviation(ARAD, SRAD, lambda));
}

double transverse_scale(float ARAD) {
  return double{kTwoPiPattern} * ARAD;
}

// The transverse argument u = 2 pi a |sin theta| / lambda.
float transverse(float THETA, double scale, float lambda) {
  return rounded(std::fabs(std::sin(double{THETA})) * scale / lambda);
}

// The parameter block of the integrand for one pattern point: the abscissa (set by the
// quadrature), the rim phase, the part selector and the transverse argument u.
std::array<float, 4> pattern_block(const float &FREQ, const float &ARAD, const float &SRAD,
                                   const float &THETA) {
  const float lambda = wavelength(FREQ);
  return {0.0f, rim_phase(lambda, ARAD, SRAD), 0.0f,
          transverse(THETA, transverse_scale(ARAD), lambda)};
}

float magnitude(const float &re, const float &im) {
  return rounded(std::sqrt(double{im} * im + double{re} * re));
}

float phase_of(const float &re, const float &im, float magnitude) {
  return magnitude < kSmallest ? 0.0f : rounded(std::atan2(double{im}, double{re}) / kDegToRad);
}

void level_and_phase(const float &re, const float &im, float &LEVEL, float &PHASE) {
  const float m = magnitude(re, im);
  LEVEL = m < kSmallest ? -120.0f : rounded(std::log(double{m}) * kDbPerNeperPattern);
  PHASE = phase_of(re, im, m);
}

} // namespace

void CCH11(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
           float &LEVEL, float &PHASE) {
  std::array<float, 4> parm = pattern_block(FREQ, ARAD, SRAD, THETA);
  constexpr float lo = 0.0f;
  constexpr float hi = 1.0f;
  constexpr int points = 16;
  float re = 0.0f;
  float im = 0.0f;
  parm[2] = 0.0f;
  numeric::GLINT(lo, hi, parm, FX2, points, re);
  parm[2] = 1.0f;
  numeric::GLINT(lo, hi, parm, FX2, points, im);
  level_and_phase(re, im, LEVEL, PHASE);
}

HornPattern::HornPattern(float FREQ, float ARAD, float SRAD)
    : lambda_(wavelength(FREQ)), u_scale_(transverse_scale(ARAD)),
      phase_(phase_factors(rim_phase(lambda_, ARAD, SRAD))) {}

void HornPattern::point(float THETA, float &LEVEL, float &PHASE) const {
  float re = 0.0f;
  float im = 0.0f;
  APINT(phase_, transverse(THETA, u_scale_, lambda_), re, im);
  level_and_phase(re, im, LEVEL, PHASE);
}

void HornPattern::integrals(const Angles &THETA, Angles &RE, Angles &IM) const {
  Angles u{};
  for (std::size_t a = 0; a < kBatchAngles; ++a)
    u[a] = transverse(THETA[a], u_scale_, lambda_);
  APINT4(phase_, u, RE, IM);
}

void HornPattern::points(const Angles &THETA, Angles &LEVEL, Angles &PHASE) const {
  Angles re{}, im{};
  integrals(THETA, re, im);
  for (std::size_t a = 0; a < kBatchAngles; ++a)
    level_and_phase(re[a], im[a], LEVEL[a], PHASE[a]);
}

HornPattern::Angles HornPattern::phases(const Angles &THETA) const {
  Angles re{}, im{}, PHASE{};
  integrals(THETA, re, im);
  for (std::size_t a = 0; a < kBatchAngles; ++a)
    PHASE[a] = phase_of(re[a], im[a], magnitude(re[a], im[a]));
  return PHASE;
}

void CCH11F(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
            float &LEVEL, float &PHASE) {
  HornPattern(FREQ, ARAD, SRAD).point(THETA, LEVEL, PHASE);
}

} // namespace kelvor::horn
