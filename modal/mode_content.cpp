#include "modal/mode_content.hpp"

#include <algorithm>
#include <cmath>

#include <boost/math/special_functions/bessel.hpp>

#include "modal/modes.hpp"
#include "modal/units.hpp"

namespace kelvor::modal {

double hybrid_purity(const ApertureField &unscaled) {
  const ApertureField field = scaled_to_unit(unscaled).field;
  const double a = field.radius_m;
  const double j01 = boost::math::cyl_bessel_j_zero(0.0, 1);
  const double q = j01 / a, j1_at_j01 = boost::math::cyl_bessel_j(1, j01);
  const std::vector<Mode> modes =
      lowest_modes(2 * static_cast<int>(std::max(field.te.size(), field.tm.size())));
  std::complex<double> overlap = 0;
  double field_power = 0;
  for (const Mode &mode : modes) {
    const auto &amplitudes = mode.kind == ModeKind::te ? field.te : field.tm;
    const auto index = static_cast<std::size_t>(mode.n - 1);
    if (index >= amplitudes.size())
      continue;
    const double kc = mode.cutoff_ka / a;
    overlap += amplitudes[index] * kPi * a * q * boost::math::cyl_bessel_j(0, kc * a) * j1_at_j01 /
               (q * q - kc * kc);
    field_power += std::norm(amplitudes[index]) * profile_norm_m2(mode, a);
  }
  const double hybrid_power = kPi * a * a * j1_at_j01 * j1_at_j01;
  return std::norm(overlap) / (field_power * hybrid_power);
}

} // namespace kelvor::modal
