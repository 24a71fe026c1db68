#include "feed/beamwidth.hpp"

#include <algorithm>
#include <cmath>

#include "feed/crossing.hpp"

namespace kelvor::feed {

namespace {

constexpr double kMaxLevelDb = 300; // far below any level the quadrature resolves
constexpr double kFloorDb = -400;   // keeps the level finite at the nulls and at 180 degrees
constexpr double kRelTol = 1e-9;

} // namespace

Beamwidth pattern_beamwidth(const HornPattern &pattern, double level_db) {
  if (pattern.failure() != Failure::none)
    return {kNaN, pattern.failure()};
  if (!(level_db > 0 && level_db <= kMaxLevelDb))
    return {kNaN, Failure::invalid_input};
  const auto excess = [&](double theta) {
    return std::max(pattern.level_db(theta), kFloorDb) + level_db;
  };
  const double step = std::min(kDegree, 0.2 / pattern.ka());
  const double theta = first_fall(excess, 0, kPi, step, kRelTol);
  if (std::isnan(theta))
    return {kNaN, Failure::level_not_reached};
  return {2 * theta / kDegree, Failure::none};
}

Beamwidth pattern_beamwidth(const Horn &horn, double freq_ghz, double level_db) {
  return pattern_beamwidth(HornPattern(horn, freq_ghz), level_db);
}

} // namespace kelvor::feed
