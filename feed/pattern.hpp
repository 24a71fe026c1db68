// Far field of the corrugated horn's aperture in double precision: the model the classic tables
// fit (J0 taper, quadratic phase, Huygens obliquity), integrated to a stated accuracy.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

#include "feed/failure.hpp"
#include "feed/units.hpp"

namespace kelvor::feed {

// A conical horn: aperture radius a and slant radius R (m). The aperture phase deviation is
// S = a^2 / (2 lambda R) cycles; an infinite slant radius gives a flat aperture phase, S = 0.
struct Horn {
  double aperture_radius_m = 0;
  double slant_radius_m = kInfinity;
};

// The phase deviation S (cycles) of the horn at freq_ghz.
double phase_deviation(const Horn &horn, double freq_ghz);

// Failure::none for a finite positive aperture radius and frequency and a positive slant radius;
// Failure::invalid_input otherwise.
Failure check_horn(const Horn &horn, double freq_ghz);

// The work limit of the pattern: the aperture integrand of a horn turns by at most
// k a + 4 pi S radians across the aperture, and each ApertureIntegral panel takes
// kPhasePerPanel of it, so the panels (and the cost of one field value) grow with k a + 4 pi S,
// as do the scan steps of a beamwidth and the samples of a dish. A horn beyond kMaxApertureTurn
// = 64 panels of 12 radians (k a up to 768: an aperture of about 120 wavelengths at S = 0, or S
// up to about 60 at small apertures, far beyond the model's validity) is refused with
// Failure::too_much_work. At the limit, a field value costs 1280 Bessel functions, a beamwidth
// about a second and a dish a few seconds on one core of a 2020s machine; below it, any input
// returns in that time.
inline constexpr double kMaxApertureTurn = 768;

// check_horn, then Failure::too_much_work for a horn whose k a + 4 pi S exceeds kMaxApertureTurn
// (an infinite S among them: a slant radius near zero).
Failure check_horn_work(const Horn &horn, double freq_ghz);

// The aperture integral of the balanced hybrid mode, a function of u = k a sin(theta):
//   P(u) = integral over t = 0..1 of J0(x0 t) exp(-j 2 pi S t^2) J0(u t) t dt,
// x0 = 2.404825557695773 the first zero of J0 (the field vanishes at the corrugated wall);
// time dependence exp(+j omega t), so the rim's phase lag of the spherical wave is exp(-j ...).
// Composite 20-point Gauss-Legendre (Boost.Math's nodes) on 2^m equal panels, m the smallest
// level at which (u + 4 pi S) / 2^m, the most the integrand's phase and kernel turn across one
// panel, is at most kPhasePerPanel radians; the levels up to the one u_max needs are built at
// construction. Accuracy, relative to |P(0)|, against Boost's adaptive 61-point Gauss-Kronrod
// at 1e-13: 1.1e-15 at worst for u = 0..126 (2 pi 20, an aperture of 20 wavelengths at 90
// degrees) in steps of 0.1 and S = 0, 0.1, 0.3, 0.5, 1, 1.5, 2; levels above -40 dB within
// 2e-13 dB. feed_test holds it to 1e-9 (and 0.001 dB) on a coarser grid.
// An object is read-only after construction and may be shared between threads.
class ApertureIntegral {
public:
  static constexpr double kPhasePerPanel = 12.0;
  static constexpr std::size_t kMaxLevel = 6; // at most 64 panels: see HornPattern

  ApertureIntegral(double phase_deviation, double u_max);
  // P(u) for 0 <= u <= u_max; beyond u_max the finest level built is used, less accurately,
  // and so beyond the 2^kMaxLevel panels that a u_max + 4 pi S above kMaxApertureTurn needs.
  std::complex<double> operator()(double u) const;
  double phase_deviation() const { return S_; }

private:
  struct Level {
    std::vector<double> t;               // nodes in 0..1
    std::vector<std::complex<double>> g; // weight * t * J0(x0 t) * exp(-j 2 pi S t^2)
  };
  double S_;
  std::vector<Level> levels_;
};

static_assert(kMaxApertureTurn ==
              ApertureIntegral::kPhasePerPanel * (std::size_t{1} << ApertureIntegral::kMaxLevel));

// The horn's far field at one frequency. field(theta, p) is the complex far field normalised to
// the magnitude on the axis, |field(0, p)| = 1:
//   (1 + cos theta)/2 * P(k a sin theta) / |P(0)| * exp(+j k p cos theta),
// its phase referenced to the point on the axis at the distance p (m) from the aperture plane
// toward the apex (p = 0: the centre of the aperture; p > 0: behind it, inside the horn). A
// pattern whose phase centre lies at p has, referenced there, a phase flat in theta.
// Level accuracy: within 0.001 dB down to -40 dB for apertures up to 20 wavelengths in radius
// and S up to 2 (see ApertureIntegral). Angles 0..pi: the whole sphere, the obliquity factor
// vanishing at pi.
class HornPattern {
public:
  HornPattern(const Horn &horn, double freq_ghz);

  // Failure::none when the horn and frequency pass check_horn_work and the axis is not a null.
  Failure failure() const { return failure_; }
  std::complex<double> field(double theta_rad, double reference_m = 0) const;
  // 20 log10 |field(theta)|, dB relative to the axis; -infinity at a null and at pi.
  double level_db(double theta_rad) const;

  double ka() const { return ka_; }
  double wavenumber_per_m() const { return k_; }
  double phase_deviation() const { return aperture_.phase_deviation(); }
  const Horn &horn() const { return horn_; }
  double freq_ghz() const { return freq_ghz_; }

private:
  Horn horn_;
  double freq_ghz_;
  double k_, ka_;
  ApertureIntegral aperture_;
  double axis_magnitude_;
  Failure failure_ = Failure::none;
};

} // namespace kelvor::feed
