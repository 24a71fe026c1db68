#include "feed/design.hpp"

#include <algorithm>
#include <cmath>

#include "feed/crossing.hpp"
#include "feed/dish_geometry.hpp"
#include "feed/pattern.hpp"

namespace kelvor::feed {

namespace {

constexpr double kScanStep = 0.1; // a main lobe is about pi wide in u
constexpr double kFloorDb = -400;

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

HornDesign failed(Failure failure) {
  HornDesign d;
  d.failure = failure;
  return d;
}

} // namespace

HornDesign design_horn(double freq_ghz, double beamwidth_deg, double level_db,
                       double phase_deviation, const SolverLimits &limits) {
  if (!positive(freq_ghz) || !positive(level_db) || !(beamwidth_deg > 0 && beamwidth_deg < 180))
    return failed(Failure::invalid_input);
  if (!(phase_deviation >= 0 && phase_deviation <= kMaxPhaseDeviation))
    return failed(Failure::phase_deviation_out_of_range);
  const double half = beamwidth_deg / 2 * kDegree;
  // The aperture pattern's own level at the half-angle: the request less the obliquity loss.
  const double aperture_level_db = level_db + amplitude_db(obliquity_factor(half));
  if (!(aperture_level_db > 0))
    return failed(Failure::no_main_lobe_solution);
  const ApertureIntegral aperture(phase_deviation, kDesignScanEnd);
  const double axis = std::abs(aperture(0));
  if (!(axis > 0))
    return failed(Failure::null_on_axis);
  const auto excess = [&](double u) {
    return std::max(amplitude_db(std::abs(aperture(u)) / axis), kFloorDb) + aperture_level_db;
  };
  const Fall fall = first_fall(excess, 0, kDesignScanEnd, kScanStep, limits);
  if (fall.failure != Failure::none)
    return failed(fall.failure == Failure::level_not_reached ? Failure::no_main_lobe_solution
                                                             : fall.failure);
  HornDesign d;
  const double lambda = wavelength_m(freq_ghz);
  d.aperture_radius_wavelengths = fall.x / (2 * kPi * std::sin(half));
  d.aperture_radius_m = d.aperture_radius_wavelengths * lambda;
  d.slant_radius_m = phase_deviation > 0 ? d.aperture_radius_m * d.aperture_radius_m /
                                               (2 * lambda * phase_deviation)
                                         : kInfinity;
  d.real_cone = d.slant_radius_m >= d.aperture_radius_m;
  d.validity = model_validity(Horn{d.aperture_radius_m, d.slant_radius_m}, freq_ghz);
  return d;
}

HornDesign design_for_edge_illumination(double freq_ghz, double f_over_d,
                                        double edge_illumination_db, double phase_deviation,
                                        const SolverLimits &limits) {
  const FeedLevel level = feed_level_for_edge(f_over_d, edge_illumination_db);
  if (level.failure != Failure::none)
    return failed(level.failure);
  return design_horn(freq_ghz, 2 * dish_half_angle_rad(f_over_d) / kDegree, level.level_db,
                     phase_deviation, limits);
}

} // namespace kelvor::feed
