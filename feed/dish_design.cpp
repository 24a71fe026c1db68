// The horn for a dish: a widening scan and Brent's minimiser over the aperture radius at each
// phase deviation, the feed position searched inside it.
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
constexpr int kScan = 6;                    // intervals of the radius scan
constexpr int kMaxWidenings = 3;            // spans the scan may grow by at either end

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

// The horn of phase deviation S at the reference frequency with aperture radius a.
Horn horn_of(double reference_ghz, double S, double a) {
  const double R = S > 0 ? a * a / (2 * wavelength_m(reference_ghz) * S) : kInfinity;
  return {a, R};
}

struct BandResult {
  double feed_position_m = kNaN;
  double efficiency = kNaN; // the lowest over the frequencies
  Failure failure = Failure::none;
  bool on_bound = false;
};

// The lowest aperture efficiency over the frequencies with one feed position for all, at the
// position that maximises it.
BandResult band_optimum(const DishRequest &request, const Horn &horn, const SolverLimits &limits) {
  std::vector<HornOnDish> dishes;
  dishes.reserve(request.freq_ghz.size());
  for (const double f : request.freq_ghz)
    dishes.emplace_back(horn, f, request.f_over_d);
  for (const auto &dish : dishes)
    if (dish.failure() != Failure::none)
      return {kNaN, kNaN, dish.failure()};
  const auto lowest = [&](double d) {
    double e = kInfinity;
    for (const auto &dish : dishes)
      e = std::min(e, dish.at(d).efficiency.aperture);
    return e;
  };
  double centre = 0, width = kInfinity;
  for (const auto &dish : dishes) {
    centre += dish.fitted_phase_centre_m().value_or(0) / static_cast<double>(dishes.size());
    width = std::min(width, dish.peak_width_m());
  }
  const FeedWindow window = feed_window(centre, width, apex_distance_m(horn));
  std::vector<double> scanned(window.count, kInfinity);
  for (const auto &dish : dishes) {
    const std::vector<double> one = dish.aperture_scan(window);
    for (std::size_t i = 0; i < one.size(); ++i)
      scanned[i] = std::min(scanned[i], one[i]);
  }
  const FeedPosition p = best_feed_position(lowest, window, scanned, limits);
  if (p.failure != Failure::none)
    return {kNaN, kNaN, p.failure};
  return {p.position_m, lowest(p.position_m), Failure::none, p.on_bound};
}

// The aperture radius (m) that puts the edge illumination near kEdgeIlluminationDb at the
// reference frequency, or a wavelength when no horn of S does.
double start_radius(const DishRequest &request, double reference_ghz, double S) {
  const HornDesign d =
      design_for_edge_illumination(reference_ghz, request.f_over_d, kEdgeIlluminationDb, S);
  return d.failure == Failure::none ? d.aperture_radius_m : wavelength_m(reference_ghz);
}

// The band's own frequencies are checked by each HornOnDish: the first evaluation fails with
// their reason, before any sampling.
bool valid_request(const DishRequest &request, double reference_ghz) {
  return positive(request.f_over_d) && positive(reference_ghz) && !request.freq_ghz.empty();
}

} // namespace

double reference_freq_ghz(const DishRequest &request) {
  if (request.reference_freq_ghz)
    return *request.reference_freq_ghz;
  if (request.freq_ghz.empty())
    return kNaN;
  const auto [lo, hi] = std::minmax_element(request.freq_ghz.begin(), request.freq_ghz.end());
  return (*lo + *hi) / 2;
}

DishDesignRow design_for_dish(const DishRequest &request, double phase_deviation,
                              const SolverLimits &limits) {
  DishDesignRow row;
  row.phase_deviation = phase_deviation;
  const double reference = reference_freq_ghz(request);
  if (!valid_request(request, reference)) {
    row.failure = Failure::invalid_input;
    return row;
  }
  if (!(phase_deviation >= 0 && phase_deviation <= kMaxPhaseDeviation)) {
    row.failure = Failure::phase_deviation_out_of_range;
    return row;
  }
  if (request.freq_ghz.size() > kMaxDishDesignWork) {
    row.failure = Failure::too_much_work;
    return row;
  }
  // A radius without an answer (beyond the pattern's work limit after widening, say) loses to
  // every radius with one; the row fails only when its chosen horn does.
  const auto loss = [&](double log_a) {
    const BandResult band =
        band_optimum(request, horn_of(reference, phase_deviation, std::exp(log_a)), limits);
    return band.failure == Failure::none ? -band.efficiency : kInfinity;
  };
  // Scan log a over 0.6 a0 .. 1.6 a0, widened while the best sample is an end of the scan.
  const double a0 = start_radius(request, reference, phase_deviation);
  double lo = std::log(0.6 * a0);
  const double step = (std::log(1.6 * a0) - lo) / kScan;
  std::vector<double> losses;
  for (int j = 0; j <= kScan; ++j)
    losses.push_back(loss(lo + j * step));
  for (int widen = 0; widen < kMaxWidenings; ++widen) {
    const auto best = std::min_element(losses.begin(), losses.end());
    if (best == losses.begin()) {
      for (int j = 1; j <= kScan; ++j)
        losses.insert(losses.begin(), loss(lo - j * step));
      lo -= kScan * step;
    } else if (best + 1 == losses.end()) {
      const double hi = lo + static_cast<double>(losses.size() - 1) * step;
      for (int j = 1; j <= kScan; ++j)
        losses.push_back(loss(hi + j * step));
    } else {
      break;
    }
  }
  const auto best = std::min_element(losses.begin(), losses.end());
  const double centre = lo + static_cast<double>(best - losses.begin()) * step;
  std::uintmax_t iterations = limits.max_iterations;
  const auto [log_a, l] = boost::math::tools::brent_find_minima(loss, centre - step, centre + step,
                                                                limits.minimum_bits, iterations);
  const Horn horn = horn_of(reference, phase_deviation, std::exp(l <= *best ? log_a : centre));
  const BandResult band = band_optimum(request, horn, limits);
  row.failure = band.failure != Failure::none         ? band.failure
                : iterations >= limits.max_iterations ? Failure::not_converged
                                                      : Failure::none;
  if (row.failure != Failure::none)
    return row;
  row.aperture_radius_m = horn.aperture_radius_m;
  row.slant_radius_m = horn.slant_radius_m;
  row.feed_position_m = band.feed_position_m;
  row.aperture_efficiency = band.efficiency;
  row.real_cone = horn.slant_radius_m >= horn.aperture_radius_m;
  row.validity = model_validity(horn, request.freq_ghz);
  row.optimum_on_bound = band.on_bound || best == losses.begin() || best + 1 == losses.end();
  return row;
}

DishDesign design_for_dish(const DishRequest &request, std::span<const double> phase_deviation,
                           const SolverLimits &limits) {
  DishDesign design;
  design.rows.resize(phase_deviation.size());
  if (phase_deviation.size() * std::max<std::size_t>(1, request.freq_ghz.size()) >
      kMaxDishDesignWork) {
    for (std::size_t i = 0; i < phase_deviation.size(); ++i) {
      design.rows[i].phase_deviation = phase_deviation[i];
      design.rows[i].failure = Failure::too_much_work;
    }
    return design;
  }
  for_each_index(phase_deviation.size(), [&](std::size_t i) {
    design.rows[i] = design_for_dish(request, phase_deviation[i], limits);
  });
  double best = -kInfinity;
  for (std::size_t i = 0; i < design.rows.size(); ++i) {
    const DishDesignRow &row = design.rows[i];
    if (row.failure == Failure::none && row.real_cone && row.validity == Validity::valid &&
        row.aperture_efficiency > best) {
      best = row.aperture_efficiency;
      design.best = i;
    }
  }
  return design;
}

} // namespace kelvor::feed
