// The unit of a request's printed lengths. Lengths are inches inside; the unit is applied at the
// boundary, each conversion rounded once.
#pragma once

#include <array>
#include <cstdint>

namespace kelvor::rows {

// Unit choice IUNIT: 1 centimetres, 2 inches. Inches times UNITF[IUNIT - 1] is
// the length in the chosen unit.
inline constexpr std::int32_t CENTIMETRES = 1;
inline constexpr std::int32_t INCHES = 2;
inline constexpr std::array<float, 2> UNITF = {2.54f, 1.0f};

// Whether IUNIT names a unit.
constexpr bool is_unit(std::int32_t IUNIT) {
  return IUNIT == CENTIMETRES || IUNIT == INCHES;
}

// The unit's length of one inch, UNITF[IUNIT - 1]; NaN for an IUNIT other than 1 or 2.
double unit_factor(std::int32_t IUNIT);

// A length in inches in the unit IUNIT, and back. An IUNIT other than 1 or 2
// gives NaN.
float from_inches(float inches, std::int32_t IUNIT);
float to_inches(float length, std::int32_t IUNIT);

} // namespace kelvor::rows
