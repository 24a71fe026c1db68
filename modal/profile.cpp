#include "modal/profile.hpp"

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {
constexpr double kMaxElectricalSize = 2 * kPi * 1e6;    // a million wavelengths
constexpr double kMinElectricalRadius = 2 * kPi * 1e-6; // a millionth of a wavelength
} // namespace

std::string profile_problem(const Profile &profile, double freq_ghz) {
  if (profile.empty())
    return "no sections";
  if (!finite_positive(freq_ghz))
    return "the frequency must be finite and above 0";
  // Past these electrical sizes the Bessel arguments, cut-off ratios and phases leave double's
  // range or its precision and the answer would be NaN or noise; no horn comes near them.
  const double k = wavenumber_per_m(freq_ghz);
  const auto section = [](std::size_t i, const char *fault) {
    return "section " + std::to_string(i + 1) + fault;
  };
  for (std::size_t i = 0; i < profile.size(); ++i) {
    const Section &s = profile[i];
    if (!finite_positive(s.length_m) || !finite_positive(s.radius_m))
      return section(i, "'s length and radius must be finite and above 0");
    if (!(k * s.length_m <= kMaxElectricalSize))
      return section(i, " is longer than a million wavelengths");
    if (!(k * s.radius_m <= kMaxElectricalSize))
      return section(i, "'s radius is over a million wavelengths");
    if (!(k * s.radius_m >= kMinElectricalRadius))
      return section(i, "'s radius is under a millionth of a wavelength");
  }
  return {};
}

Failure check_profile(const Profile &profile, double freq_ghz) {
  if (!profile_problem(profile, freq_ghz).empty())
    return Failure::invalid_input;
  // The input guide must carry the exciting TE11 wave: k a above the first zero of J1'.
  if (wavenumber_per_m(freq_ghz) * profile.front().radius_m <= kTe11CutoffKa)
    return Failure::input_below_cutoff;
  return Failure::none;
}

} // namespace kelvor::modal
