// Test reference: the hybrid-mode aperture integral in double precision, by composite Simpson
// quadrature with the standard library's Bessel function, independent of the float routines.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

namespace kelvor::testing {

inline constexpr double kFirstZeroJ0 = 2.404825557695773;

// E(u, s) = integral over 0..1 of J0(k0 rho) J0(u rho) exp(-j 2 pi s rho^2) rho d rho.
inline std::complex<double> aperture_integral(double u, double s, int intervals = 400) {
  const double h = 1.0 / intervals;
  std::complex<double> sum = 0;
  for (int i = 0; i <= intervals; ++i) {
    const double rho = i * h;
    const double w = (i == 0 || i == intervals) ? 1 : (i % 2 == 1 ? 4 : 2);
    const double amp = std::cyl_bessel_j(0.0, kFirstZeroJ0 * rho) * std::cyl_bessel_j(0.0, u * rho);
    sum += w * amp * rho * std::polar(1.0, -2 * std::numbers::pi * s * rho * rho);
  }
  return sum * (h / 3);
}

} // namespace kelvor::testing
