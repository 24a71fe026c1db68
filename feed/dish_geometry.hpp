// The geometry of a prime-focus paraboloid as its feed sees it: the rim's half-angle, the space
// attenuation to the rim and the feed level that gives an edge illumination. The one home of
// these rules; Python, the command line and the page call them.
#pragma once

#include "feed/failure.hpp"
#include "feed/units.hpp"

namespace kelvor::feed {

// Failure::none for a finite positive focal ratio f/D, Failure::invalid_input otherwise.
Failure check_f_over_d(double f_over_d);

// The half-angle theta0 (radians) the rim of a paraboloid of focal ratio f/D subtends at its
// focus: 2 atan(1 / (4 f/D)); NaN for an f/D that check_f_over_d refuses.
double dish_half_angle_rad(double f_over_d);

// The space attenuation (dB, negative) at the angle theta off the axis: 20 log10 of
// (1 + cos theta) / 2, the focal length over the distance from the focus to the surface, the
// longer path to the rim than to the vertex.
double space_attenuation_db(double theta_rad);

struct DishGeometry {
  double half_angle_deg = kNaN;       // theta0
  double space_attenuation_db = kNaN; // at theta0
  Failure failure = Failure::none;    // invalid_input for an f/D check_f_over_d refuses
};
DishGeometry dish_geometry(double f_over_d);

// The level (dB below the feed's axis, positive) that the feed's own pattern must have at the
// rim for the edge illumination edge_illumination_db (negative: dB at the rim relative to the
// vertex): -edge_illumination_db + space_attenuation_db(theta0).
struct FeedLevel {
  double level_db = kNaN;
  // invalid_input for an f/D refused or an edge illumination not finite and negative;
  // no_main_lobe_solution when the space attenuation alone reaches the edge illumination (the
  // feed would have to be stronger at the rim than on its axis).
  Failure failure = Failure::none;
};
FeedLevel feed_level_for_edge(double f_over_d, double edge_illumination_db);

} // namespace kelvor::feed
