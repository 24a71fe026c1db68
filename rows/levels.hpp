// The pattern levels of a request: the four nominal levels of the beamwidth columns, the level
// index that names one of them, and the column levels once the user's level replaces it.
#pragma once

#include <array>
#include <cstdint>

namespace kelvor::rows {

// Nominal pattern levels, dB, of the four beamwidth columns; the level index KLEV (1 to 4)
// names one of them.
inline constexpr std::array<float, 4> LEVNOM = {3.0f, 6.0f, 10.0f, 20.0f};

// Whether KLEV names one of the nominal levels.
constexpr bool is_level_index(std::int32_t KLEV) {
  return KLEV >= 1 && KLEV <= static_cast<std::int32_t>(LEVNOM.size());
}

// The level bookkeeping of a request: the user's level LEVUSR replaces the
// nominal level of index KLEV (1 to 4) among the four column levels.
struct Levels {
  std::int32_t KLEV = 0;
  std::array<float, 4> LEVCOL{};
};

// The index (1 to 4) of the nominal level equal to LEVUSR, or 0 when there is none.
std::int32_t nominal_level_index(float LEVUSR);
// The column levels for the user's level at index KLEV (1 to 4).
Levels column_levels(float LEVUSR, std::int32_t KLEV);

} // namespace kelvor::rows
