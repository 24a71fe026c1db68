// Units and constants of the model-true feed path, in double precision. Lengths are metres,
// frequencies gigahertz, angles radians unless a name says otherwise.
#pragma once

#include <cmath>
#include <limits>
#include <numbers>

#include "horn/obliquity.hpp"

namespace kelvor::feed {

// The speed of light in vacuum, m/s (exact by the definition of the metre).
inline constexpr double kSpeedOfLight = 299792458.0;

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kDegree = kPi / 180.0; // radians per degree

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Free-space wavelength (m) at freq_ghz.
inline double wavelength_m(double freq_ghz) {
  return kSpeedOfLight / (freq_ghz * 1e9);
}

// Free-space wavenumber 2 pi / lambda (rad/m) at freq_ghz.
inline double wavenumber_per_m(double freq_ghz) {
  return 2 * kPi / wavelength_m(freq_ghz);
}

// An amplitude ratio in dB.
inline double amplitude_db(double ratio) {
  return 20 * std::log10(ratio);
}

// The Huygens obliquity factor (1 + cos theta) / 2 of the aperture's far field, the horn
// layer's own; the same factor is the space attenuation of a paraboloid, the ratio of the focal
// length to the distance from the focus to the surface at theta.
using horn::obliquity_factor;

} // namespace kelvor::feed
