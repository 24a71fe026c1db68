#include "feed/design.hpp"

#include <algorithm>
#include <cmath>

#include "feed/crossing.hpp"
#include "feed/pattern.hpp"

namespace kelvor::feed {

namespace {

constexpr double kScanEnd = 50;   // u beyond the main lobe of every S up to 2 at 20 dB
constexpr double kScanStep = 0.1; // a main lobe is about pi wide in u
constexpr double kRelTol = 1e-10;
constexpr double kFloorDb = -400;

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

} // namespace

HornDesign design_horn(double freq_ghz, double beamwidth_deg, double level_db,
                       double phase_deviation) {
  HornDesign d;
  if (!positive(freq_ghz) || !positive(level_db) || !(beamwidth_deg > 0 && beamwidth_deg < 180)) {
    d.failure = Failure::invalid_input;
    return d;
  }
  if (!(phase_deviation >= 0 && phase_deviation <= kMaxPhaseDeviation)) {
    d.failure = Failure::phase_deviation_out_of_range;
    return d;
  }
  const double half = beamwidth_deg / 2 * kDegree;
  // The aperture pattern's own level at the half-angle: the request less the obliquity loss.
  const double aperture_level_db = level_db + amplitude_db(obliquity_factor(half));
  if (!(aperture_level_db > 0)) {
    d.failure = Failure::no_main_lobe_solution;
    return d;
  }
  const ApertureIntegral aperture(phase_deviation, kScanEnd);
  const double axis = std::abs(aperture(0));
  if (!(axis > 0)) {
    d.failure = Failure::null_on_axis;
    return d;
  }
  const auto excess = [&](double u) {
    return std::max(amplitude_db(std::abs(aperture(u)) / axis), kFloorDb) + aperture_level_db;
  };
  const double u = first_fall(excess, 0, kScanEnd, kScanStep, kRelTol);
  if (std::isnan(u)) {
    d.failure = Failure::no_main_lobe_solution;
    return d;
  }
  const double lambda = wavelength_m(freq_ghz);
  d.aperture_radius_wavelengths = u / (2 * kPi * std::sin(half));
  d.aperture_radius_m = d.aperture_radius_wavelengths * lambda;
  d.slant_radius_m = phase_deviation > 0 ? d.aperture_radius_m * d.aperture_radius_m /
                                               (2 * lambda * phase_deviation)
                                         : kInfinity;
  d.real_cone = d.slant_radius_m >= d.aperture_radius_m;
  return d;
}

} // namespace kelvor::feed
