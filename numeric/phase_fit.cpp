// Weighted regression of the unwrapped phase on cos theta: y = phi0 - k d x.
#include "numeric/phase_fit.hpp"

#include <cmath>
#include <cstddef>

namespace kelvor::numeric {

std::optional<double> fitted_phase_centre_m(std::span<const double> theta_rad,
                                            std::span<const double> weight_rad,
                                            std::span<const std::complex<double>> field,
                                            double wavenumber_per_m) {
  const std::size_t n = theta_rad.size();
  if (weight_rad.size() != n || field.size() != n ||
      !(std::isfinite(wavenumber_per_m) && wavenumber_per_m > 0))
    return std::nullopt;
  double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  double phase = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0)
      phase += std::arg(field[i] * std::conj(field[i - 1]));
    const double theta = theta_rad[i];
    const double w = weight_rad[i] * std::norm(field[i]) * std::sin(theta);
    const double x = std::cos(theta);
    sw += w;
    sx += w * x;
    sy += w * phase;
    sxx += w * x * x;
    sxy += w * x * phase;
  }
  // sw sxx - sx^2 is sw^2 times the weighted variance of cos theta: zero without a line.
  const double spread = sw * sxx - sx * sx;
  if (!(spread > 0 && std::isfinite(spread)))
    return std::nullopt;
  return -(sw * sxy - sx * sy) / spread / wavenumber_per_m;
}

} // namespace kelvor::numeric
