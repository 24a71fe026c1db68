// A body of revolution as a staircase of uniform circular-waveguide sections, from the input
// waveguide (the first section) to the aperture (the last). A slot is a section of radius a + d and
// the slot's width, a tooth one of radius a and the tooth's width, a smooth flare a staircase.
#pragma once

#include <string>
#include <vector>

#include "modal/failure.hpp"

namespace kelvor::modal {

struct Section {
  double length_m; // axial length, > 0
  double radius_m; // wall radius, > 0
};

using Profile = std::vector<Section>;

// Failure::invalid_input when the profile is empty, a length or radius is not finite and positive,
// a length or radius passes a million wavelengths or a radius is under a millionth of one, or the
// frequency is not finite and positive; Failure::input_below_cutoff when the input guide
// does not carry TE11 at freq_ghz (k a_in <= j'11 = 1.8412); else Failure::none.
Failure check_profile(const Profile &profile, double freq_ghz);

// Why check_profile gives Failure::invalid_input, in a sentence that names the first section at
// fault (counted from 1, the input guide) and the bound it breaks; empty where it does not.
std::string profile_problem(const Profile &profile, double freq_ghz);

} // namespace kelvor::modal
