#include "modal/profile.hpp"

#include "modal/units.hpp"

namespace kelvor::modal {

Failure check_profile(const Profile &profile, double freq_ghz) {
  if (profile.empty() || !finite_positive(freq_ghz))
    return Failure::invalid_input;
  for (const Section &section : profile)
    if (!finite_positive(section.length_m) || !finite_positive(section.radius_m))
      return Failure::invalid_input;
  // The input guide must carry the exciting TE11 wave: k a above the first zero of J1'.
  if (wavenumber_per_m(freq_ghz) * profile.front().radius_m <= kTe11CutoffKa)
    return Failure::input_below_cutoff;
  return Failure::none;
}

} // namespace kelvor::modal
