#include "modal/profile.hpp"

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {
constexpr double kMaxElectricalSize = 2 * kPi * 1e6;    // a million wavelengths
constexpr double kMinElectricalRadius = 2 * kPi * 1e-6; // a millionth of a wavelength
} // namespace

Failure check_profile(const Profile &profile, double freq_ghz) {
  if (profile.empty() || !finite_positive(freq_ghz))
    return Failure::invalid_input;
  // Past these electrical sizes the Bessel arguments, cut-off ratios and phases leave double's
  // range or its precision and the answer would be NaN or noise; no horn comes near them.
  const double k = wavenumber_per_m(freq_ghz);
  for (const Section &section : profile)
    if (!finite_positive(section.length_m) || !finite_positive(section.radius_m) ||
        !(k * section.length_m <= kMaxElectricalSize) ||
        !(k * section.radius_m <= kMaxElectricalSize) ||
        !(k * section.radius_m >= kMinElectricalRadius))
      return Failure::invalid_input;
  // The input guide must carry the exciting TE11 wave: k a above the first zero of J1'.
  if (k * profile.front().radius_m <= kTe11CutoffKa)
    return Failure::input_below_cutoff;
  return Failure::none;
}

} // namespace kelvor::modal
