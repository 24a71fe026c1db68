#include "feed/dish_geometry.hpp"

#include <cmath>

namespace kelvor::feed {

Failure check_f_over_d(double f_over_d) {
  return std::isfinite(f_over_d) && f_over_d > 0 ? Failure::none : Failure::invalid_input;
}

double dish_half_angle_rad(double f_over_d) {
  if (check_f_over_d(f_over_d) != Failure::none)
    return kNaN;
  return 2 * std::atan(1 / (4 * f_over_d));
}

double space_attenuation_db(double theta_rad) {
  return amplitude_db(obliquity_factor(theta_rad));
}

DishGeometry dish_geometry(double f_over_d) {
  const Failure failure = check_f_over_d(f_over_d);
  if (failure != Failure::none)
    return {kNaN, kNaN, failure};
  const double theta0 = dish_half_angle_rad(f_over_d);
  return {theta0 / kDegree, space_attenuation_db(theta0), Failure::none};
}

FeedLevel feed_level_for_edge(double f_over_d, double edge_illumination_db) {
  const DishGeometry g = dish_geometry(f_over_d);
  if (g.failure != Failure::none || !(edge_illumination_db < 0) ||
      !std::isfinite(edge_illumination_db))
    return {kNaN, Failure::invalid_input};
  const double level = -edge_illumination_db + g.space_attenuation_db;
  if (!(level > 0))
    return {kNaN, Failure::no_main_lobe_solution};
  return {level, Failure::none};
}

} // namespace kelvor::feed
