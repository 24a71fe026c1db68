#include "rows/levels.hpp"

#include <cstddef>

namespace kelvor::rows {

std::int32_t nominal_level_index(float LEVUSR) {
  std::int32_t KLEV = 0;
  for (std::size_t i = 0; i < LEVNOM.size(); ++i)
    if (LEVUSR == LEVNOM[i])
      KLEV = static_cast<std::int32_t>(i + 1);
  return KLEV;
}

Levels column_levels(float LEVUSR, std::int32_t KLEV) {
  Levels levels{KLEV, LEVNOM};
  if (is_level_index(KLEV))
    levels.LEVCOL[static_cast<std::size_t>(KLEV - 1)] = LEVUSR;
  return levels;
}

} // namespace kelvor::rows
