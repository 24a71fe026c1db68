// Single-precision storage rule shared by the numerical library and the horn model: every
// named quantity is a float; a formula is evaluated in double from float operands and float
// constants and rounded to float once, when its result is stored.
#pragma once

namespace kelvor::numeric {

// Rounds the double-precision value of one formula to the float that stores it.
[[nodiscard]] constexpr float rounded(double v) noexcept {
  return static_cast<float>(v);
}

} // namespace kelvor::numeric
