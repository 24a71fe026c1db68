// Units and constants of the mode-matching engine, in double precision. Lengths are metres,
// frequencies gigahertz, angles radians unless a name says otherwise.
#pragma once

#include <cmath>
#include <limits>
#include <numbers>

namespace kelvor::modal {

inline constexpr double kSpeedOfLight = 299792458.0; // m/s, exact
inline constexpr double kEta0 = 376.730313412;       // free-space wave impedance, ohm (CODATA 2018)
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The first zero of J1', the TE11 cut-off k a.
inline constexpr double kTe11CutoffKa = 1.8411837813406593;

// Free-space wavenumber 2 pi f / c (rad/m) at freq_ghz.
inline double wavenumber_per_m(double freq_ghz) {
  return 2 * kPi * freq_ghz * 1e9 / kSpeedOfLight;
}

inline bool finite_positive(double x) {
  return std::isfinite(x) && x > 0;
}

} // namespace kelvor::modal
