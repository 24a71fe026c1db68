// The corrugated horn of the test, the benchmark and the README: a 10.5 mm input guide, a mode
// converter of five slots whose depth falls from half a wavelength to a quarter at 10 GHz, then 55
// quarter-wave slots on a flare (6.4 degrees) to a 60 mm aperture; pitch 7.5 mm, slots 5.5 mm wide.
// 122 sections once merged.
#pragma once

#include "modal/profile.hpp"

namespace kelvor::modal {

inline Profile sixty_slot_horn() {
  constexpr int kSlots = 60;
  constexpr double kInput = 0.0105, kAperture = 0.060, kPitch = 0.0075, kSlot = 0.0055;
  constexpr double kQuarter = 0.0075; // a quarter wavelength at 10 GHz
  Profile profile{{0.02, kInput}};
  for (int i = 0; i < kSlots; ++i) {
    const double a = kInput + (kAperture - kInput) * i / (kSlots - 1);
    const double depth = i < 5 ? kQuarter * (2 - i / 5.0) : kQuarter;
    profile.push_back({kSlot, a + depth});
    profile.push_back({kPitch - kSlot, a});
  }
  profile.push_back({0.01, kAperture});
  return profile;
}

} // namespace kelvor::modal
