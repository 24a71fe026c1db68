// The model's limits: the cut-off and hybrid-mode radii from k a, the rim phase of the cap.
#include "feed/validity.hpp"

#include <algorithm>
#include <cmath>

namespace kelvor::feed {

const char *describe(Validity validity) {
  return name_of(kValidityNames, validity);
}

double rim_phase_cycles(const Horn &horn, double freq_ghz) {
  const double a = horn.aperture_radius_m, R = horn.slant_radius_m;
  if (std::isinf(R))
    return 0;
  if (R < a)
    return kInfinity;
  // R - sqrt(R^2 - a^2) without the cancellation of a shallow cap.
  return a * a / (R + std::sqrt((R - a) * (R + a))) / wavelength_m(freq_ghz);
}

Validity model_validity(const Horn &horn, double freq_ghz) {
  if (check_horn(horn, freq_ghz) != Failure::none)
    return Validity::valid;
  const double ka = wavenumber_per_m(freq_ghz) * horn.aperture_radius_m;
  if (ka < kCutoffKa)
    return Validity::below_cutoff;
  if (ka < kMinHybridKa)
    return Validity::aperture_too_small;
  if (!(rim_phase_cycles(horn, freq_ghz) - phase_deviation(horn, freq_ghz) <= kMaxRimPhaseExcess))
    return Validity::flare_too_wide;
  return Validity::valid;
}

Validity model_validity(const Horn &horn, std::span<const double> freq_ghz) {
  Validity worst = Validity::valid;
  for (const double f : freq_ghz) {
    const Validity v = model_validity(horn, f);
    if (v != Validity::valid && (worst == Validity::valid || v < worst))
      worst = v;
  }
  return worst;
}

} // namespace kelvor::feed
