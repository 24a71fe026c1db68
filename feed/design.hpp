// Horn design on the model itself: the aperture radius at which the pattern reaches a level at
// half a requested beamwidth, for any beamwidth and level, and for a dish's edge illumination.
#pragma once

#include "feed/failure.hpp"
#include "feed/solver_limits.hpp"
#include "feed/units.hpp"
#include "feed/validity.hpp"

namespace kelvor::feed {

struct HornDesign {
  double aperture_radius_m = kNaN;
  double slant_radius_m = kNaN; // a^2 / (2 lambda S); infinite for S = 0
  double aperture_radius_wavelengths = kNaN;
  bool real_cone = false; // R >= a: false flags a cone that cannot exist
  Failure failure = Failure::none;
  Validity validity = Validity::valid; // of the designed horn (feed/validity.hpp)
};

// Highest phase deviation (cycles) the design and its accuracy statement cover. The model is
// integrated directly, so S above 1 (beyond the classic tables) is computed, not extrapolated.
inline constexpr double kMaxPhaseDeviation = 2.0;

// The end of the design's scan in u = k a sin theta of the aperture pattern: beyond the
// main lobe of every S up to 2 at 20 dB (at S = 2 it reaches 20 dB at u = 25, 51.5 dB at 49.3).
inline constexpr double kDesignScanEnd = 50;

// The horn whose pattern (HornPattern) first falls to -level_db at half of beamwidth_deg, for
// the phase deviation S (cycles) at freq_ghz; then R = a^2 / (2 lambda S).
// The pattern is (1 + cos theta)/2 times the aperture pattern of u = k a sin theta, so the
// aperture pattern must fall to -(level_db - T) at the half-angle, T the obliquity loss there:
// u* is the first u at which it does (scan in steps of 0.1 with Brent at sampled minima, then
// TOMS 748 to limits.root_rel_tol relative) and a = u* / (k sin theta). As u* is the first such
// u, the half-angle is the first angle at which the designed horn reaches the level: the round
// trip (feed_test) finds the designed horn's level at the half-angle -level_db within 1e-6 dB
// and its beamwidth the requested one within 1e-6 relative, for beamwidths 10 to 170 degrees,
// levels 3 to 20 dB and S from 0.05 to 1.
// Failures (NaN lengths): invalid_input for a frequency or level not finite and positive or a
// beamwidth outside (0, 180) degrees; phase_deviation_out_of_range for S outside 0..2;
// no_main_lobe_solution when the obliquity loss alone reaches the level (T >= level_db) or the
// aperture pattern does not fall to the level before u = kDesignScanEnd; not_converged when a
// solver runs out of iterations. The validity flags a designed horn outside the model's limits.
HornDesign design_horn(double freq_ghz, double beamwidth_deg, double level_db,
                       double phase_deviation, const SolverLimits &limits = {});

// The horn of phase deviation S whose pattern gives the paraboloid of focal ratio f_over_d the
// edge illumination edge_illumination_db (negative, dB at the rim relative to the vertex) at
// freq_ghz: design_horn at the beamwidth 2 theta0 and the level feed_level_for_edge, whose
// failures (an edge illumination not negative among them) it returns.
HornDesign design_for_edge_illumination(double freq_ghz, double f_over_d,
                                        double edge_illumination_db, double phase_deviation,
                                        const SolverLimits &limits = {});

} // namespace kelvor::feed
