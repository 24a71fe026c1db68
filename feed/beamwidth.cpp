#include "feed/beamwidth.hpp"

#include <algorithm>
#include <cmath>

#include "feed/crossing.hpp"

namespace kelvor::feed {

namespace {

constexpr double kFloorDb = -400; // keeps the level finite at the nulls and at 180 degrees

} // namespace

Beamwidth pattern_beamwidth(const HornPattern &pattern, double level_db,
                            const SolverLimits &limits) {
  if (pattern.failure() != Failure::none)
    return {kNaN, pattern.failure()};
  const Validity validity = model_validity(pattern.horn(), pattern.freq_ghz());
  if (!(level_db > 0 && level_db <= kMaxBeamwidthLevelDb))
    return {kNaN, Failure::invalid_input, validity};
  const auto excess = [&](double theta) {
    return std::max(pattern.level_db(theta), kFloorDb) + level_db;
  };
  const double step = std::min(kDegree, 0.2 / pattern.ka());
  const Fall fall = first_fall(excess, 0, kPi, step, limits);
  if (fall.failure != Failure::none)
    return {kNaN, fall.failure, validity};
  return {2 * fall.x / kDegree, Failure::none, validity};
}

Beamwidth pattern_beamwidth(const Horn &horn, double freq_ghz, double level_db,
                            const SolverLimits &limits) {
  return pattern_beamwidth(HornPattern(horn, freq_ghz), level_db, limits);
}

} // namespace kelvor::feed
