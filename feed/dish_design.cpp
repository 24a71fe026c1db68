// The horn for a dish: Brent's minimiser over the aperture radius at each phase deviation, the
// feed position searched inside it; and the band of a given horn.
#include "feed/dish_design.hpp"

#include <boost/math/tools/minima.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "feed/design.hpp"
#include "feed/parallel.hpp"

namespace kelvor::feed {

namespace {

constexpr double kEdgeIlluminationDb = -11; // the classic best taper, the start of the search

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

// The horn of phase deviation S at the reference frequency with aperture radius a.
Horn horn_of(const DishRequest &request, double S, double a) {
  const double R = S > 0 ? a * a / (2 * wavelength_m(request.reference_freq_ghz) * S) : kInfinity;
  return {a, R};
}

struct BandResult {
  double feed_position_m = kNaN;
  double efficiency = kNaN; // the lowest over the frequencies
};

// The lowest aperture efficiency over the frequencies with one feed position for all, at the
// position that maximises it.
BandResult band_optimum(const DishRequest &request, const Horn &horn) {
  std::vector<HornOnDish> dishes;
  dishes.reserve(request.freq_ghz.size());
  for (const double f : request.freq_ghz)
    dishes.emplace_back(horn, f, request.f_over_d);
  const auto lowest = [&](double d) {
    double e = kInfinity;
    for (const auto &dish : dishes)
      e = std::min(e, dish.at(d).efficiency.aperture);
    return e;
  };
  double start = 0, width = kInfinity;
  for (const auto &dish : dishes) {
    start += dish.fitted_phase_centre_m() / static_cast<double>(dishes.size());
    width = std::min(width, dish.peak_width_m());
  }
  if (!std::isfinite(start))
    start = 0;
  BandResult r;
  r.feed_position_m = dishes.size() == 1 ? dishes[0].optimum().feed_position_m
                                         : best_feed_position(lowest, start, width);
  r.efficiency = lowest(r.feed_position_m);
  return r;
}

// The aperture radius (m) that puts the edge illumination near kEdgeIlluminationDb at the
// reference frequency, or a wavelength when no horn of S does.
double start_radius(const DishRequest &request, double S) {
  const double theta0 = dish_half_angle_rad(request.f_over_d);
  const double level = -kEdgeIlluminationDb + amplitude_db(obliquity_factor(theta0));
  const HornDesign d =
      design_horn(request.reference_freq_ghz, 2 * theta0 / kDegree, std::max(level, 3.0), S);
  return d.failure == Failure::none ? d.aperture_radius_m
                                    : wavelength_m(request.reference_freq_ghz);
}

} // namespace

DishDesignRow design_for_dish(const DishRequest &request, double phase_deviation) {
  DishDesignRow row;
  row.phase_deviation = phase_deviation;
  const bool valid = positive(request.f_over_d) && positive(request.reference_freq_ghz) &&
                     !request.freq_ghz.empty() &&
                     std::all_of(request.freq_ghz.begin(), request.freq_ghz.end(), positive);
  if (!valid) {
    row.failure = Failure::invalid_input;
    return row;
  }
  if (!(phase_deviation >= 0 && phase_deviation <= kMaxPhaseDeviation)) {
    row.failure = Failure::phase_deviation_out_of_range;
    return row;
  }
  const double a0 = start_radius(request, phase_deviation);
  const auto loss = [&](double log_a) {
    return -band_optimum(request, horn_of(request, phase_deviation, std::exp(log_a))).efficiency;
  };
  // Scan log a over 0.6 a0 .. 1.6 a0, then Brent between the neighbours of the best sample.
  constexpr int kScan = 6;
  const double lo = std::log(0.6 * a0);
  const double step = (std::log(1.6 * a0) - lo) / kScan;
  int best = 0;
  double best_loss = kInfinity;
  for (int j = 0; j <= kScan; ++j) {
    const double l = loss(lo + j * step);
    if (l < best_loss) {
      best = j;
      best_loss = l;
    }
  }
  constexpr int bits = 26;
  std::uintmax_t iterations = 100;
  const double centre = lo + best * step;
  const auto [log_a, l] =
      boost::math::tools::brent_find_minima(loss, centre - step, centre + step, bits, iterations);
  const Horn horn = horn_of(request, phase_deviation, std::exp(l <= best_loss ? log_a : centre));
  const BandResult band = band_optimum(request, horn);
  row.aperture_radius_m = horn.aperture_radius_m;
  row.slant_radius_m = horn.slant_radius_m;
  row.feed_position_m = band.feed_position_m;
  row.aperture_efficiency = band.efficiency;
  row.real_cone = horn.slant_radius_m >= horn.aperture_radius_m;
  return row;
}

DishDesign design_for_dish(const DishRequest &request, std::span<const double> phase_deviation) {
  DishDesign design;
  design.rows.resize(phase_deviation.size());
  for_each_index(phase_deviation.size(), [&](std::size_t i) {
    design.rows[i] = design_for_dish(request, phase_deviation[i]);
  });
  design.best = design.rows.size();
  double best = -kInfinity;
  for (std::size_t i = 0; i < design.rows.size(); ++i) {
    if (design.rows[i].failure == Failure::none && design.rows[i].aperture_efficiency > best) {
      best = design.rows[i].aperture_efficiency;
      design.best = i;
    }
  }
  return design;
}

std::vector<DishEfficiency> dish_band(const Horn &horn, std::span<const double> freq_ghz,
                                      double f_over_d, double feed_position_m) {
  std::vector<DishEfficiency> out(freq_ghz.size());
  for_each_index(freq_ghz.size(), [&](std::size_t i) {
    out[i] = dish_efficiency(horn, freq_ghz[i], f_over_d, feed_position_m);
  });
  return out;
}

} // namespace kelvor::feed
