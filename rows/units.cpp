#include "rows/units.hpp"

#include <cstddef>
#include <limits>

#include "numeric/rounded.hpp"

namespace kelvor::rows {

using numeric::rounded;

double unit_factor(std::int32_t IUNIT) {
  if (!is_unit(IUNIT))
    return std::numeric_limits<double>::quiet_NaN();
  return UNITF[static_cast<std::size_t>(IUNIT - 1)];
}

float from_inches(float inches, std::int32_t IUNIT) {
  return rounded(inches * unit_factor(IUNIT));
}

float to_inches(float length, std::int32_t IUNIT) {
  return rounded(length / unit_factor(IUNIT));
}

} // namespace kelvor::rows
