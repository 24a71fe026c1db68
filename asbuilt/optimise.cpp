// COBYLA over the converter's and first flare slots' dimensions (see optimise.hpp).
#include "asbuilt/optimise.hpp"

#include <nlopt.hpp>

#include "modal/radiation.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace kelvor::asbuilt {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kUnanswered = std::numeric_limits<double>::quiet_NaN();

// One adjusted dimension: slot `slot`'s depth, or its width (the tooth taking the rest of the
// pitch), as a multiple of its starting value within [lo, hi].
struct Parameter {
  std::size_t slot;
  bool width;
  double start, lo, hi;
};

bool feasible_reached(const BandFigures &f, const OptimiseOptions &o) {
  return f.failure == Failure::none && f.worst_s11_db <= o.s11_target_db &&
         f.worst_xpol_db <= o.xpol_target_db;
}

// The strict order of geometries: an answer before none, under the cross-polar target before
// over it, then the lower worst S11 (among those over the target, the lower excess first).
bool better(const BandFigures &a, const BandFigures &b, double xpol_target_db) {
  if (a.failure != Failure::none)
    return false;
  if (b.failure != Failure::none)
    return true;
  const double excess_a = std::max(0.0, a.worst_xpol_db - xpol_target_db);
  const double excess_b = std::max(0.0, b.worst_xpol_db - xpol_target_db);
  if (excess_a != excess_b)
    return excess_a < excess_b;
  return a.worst_s11_db < b.worst_s11_db;
}

bool options_valid(const OptimiseOptions &o, std::size_t slots) {
  const std::size_t varied = o.converter_slots + o.flare_slots;
  return std::isfinite(o.s11_target_db) && std::isfinite(o.xpol_target_db) && varied >= 1 &&
         varied <= slots && o.depth_range > 0 && o.depth_range < 1 && o.initial_step > 0 &&
         o.initial_step <= 0.5 && o.max_evaluations >= 1 &&
         static_cast<double>(o.max_evaluations) <= kMaxOptimiseEvaluations &&
         std::isfinite(o.max_seconds) && o.max_seconds > 0 && o.max_seconds <= 3600;
}

std::vector<Parameter> parameters(const CorrugatedHorn &horn, const OptimiseOptions &o) {
  std::vector<Parameter> p;
  for (std::size_t j = 0; j < o.converter_slots + o.flare_slots; ++j) {
    const Corrugation &c = horn.corrugations[j];
    const double d0 = c.depth_m;
    p.push_back({j, false, d0, std::max(o.rules.min_depth_m, (1 - o.depth_range) * d0) / d0,
                 (1 + o.depth_range)});
    if (o.vary_widths && j < o.converter_slots) {
      const double w0 = c.slot_width_m;
      p.push_back({j, true, w0, o.rules.min_slot_m / w0,
                   (c.slot_width_m + c.tooth_width_m - o.rules.min_tooth_m) / w0});
    }
  }
  return p;
}

CorrugatedHorn apply(CorrugatedHorn horn, const std::vector<Parameter> &p,
                     const std::vector<double> &x) {
  for (std::size_t i = 0; i < p.size(); ++i) {
    Corrugation &c = horn.corrugations[p[i].slot];
    const double value = std::clamp(x[i], p[i].lo, p[i].hi) * p[i].start;
    if (p[i].width) {
      c.tooth_width_m += c.slot_width_m - value;
      c.slot_width_m = value;
    } else {
      c.depth_m = value;
    }
  }
  return horn;
}

// An analysis that failed is a point COBYLA must leave: far above any reflection and constraint.
BandFigures penalised(BandFigures f) {
  if (f.failure != Failure::none || !std::isfinite(f.worst_s11_db) ||
      !std::isfinite(f.worst_xpol_db))
    return {100, 100, f.failure == Failure::none ? Failure::analysis_failed : f.failure};
  return f;
}

// The state shared by the objective and the constraint: COBYLA asks for both at each point, so the
// last point's figures are kept and the horn analysed once.
struct Search {
  const CorrugatedHorn &start;
  const BandEvaluator &evaluate;
  const OptimiseOptions &options;
  std::vector<Parameter> params;
  Clock::time_point began;
  std::vector<double> last_x, best_x;
  BandFigures last;
  BandFigures best{kUnanswered, kUnanswered, Failure::analysis_failed};
  BandFigures first{kUnanswered, kUnanswered, Failure::analysis_failed}; // the start's
  std::size_t evaluations = 0;
  bool cancelled = false;

  const BandFigures &at(const std::vector<double> &x) {
    if (x == last_x)
      return last;
    if (evaluations >= options.max_evaluations ||
        std::chrono::duration<double>(Clock::now() - began).count() > options.max_seconds)
      throw nlopt::forced_stop();
    last_x = x;
    last = penalised(evaluate(profile(apply(start, params, x))));
    if (++evaluations == 1)
      first = last;
    if (better(last, best, options.xpol_target_db)) {
      best = last;
      best_x = x;
    }
    if (options.progress && !options.progress({evaluations, last, best})) {
      cancelled = true;
      throw nlopt::forced_stop();
    }
    if (feasible_reached(best, options))
      throw nlopt::forced_stop();
    return last;
  }
};

double objective(const std::vector<double> &x, std::vector<double> &, void *data) {
  return static_cast<Search *>(data)->at(x).worst_s11_db;
}

double constraint(const std::vector<double> &x, std::vector<double> &, void *data) {
  auto *s = static_cast<Search *>(data);
  return s->at(x).worst_xpol_db - s->options.xpol_target_db;
}

} // namespace

std::vector<FrequencyFigures> frequency_figures(const modal::Profile &profile,
                                                std::span<const double> freqs_ghz,
                                                const modal::AnalysisOptions &options) {
  std::vector<FrequencyFigures> figures;
  for (const modal::FrequencyResult &r : modal::analyse_band(profile, freqs_ghz, options)) {
    FrequencyFigures f{r.freq_ghz, r.s11_db, r.xpol_peak_db, r.directivity_dbi, Failure::none};
    if (r.failure == modal::Failure::none &&
        !(std::isfinite(f.xpol_peak_db) && std::isfinite(f.directivity_dbi))) {
      modal::RadiationOptions radiation;
      radiation.xpol_within_deg = options.xpol_within_deg;
      const modal::RadiationSummary far = modal::radiate(r.aperture, radiation);
      f.xpol_peak_db = far.xpol_peak_db;
      f.directivity_dbi = far.directivity_dbi;
      if (far.failure != modal::Failure::none)
        f.failure = Failure::analysis_failed;
    }
    if (r.failure != modal::Failure::none || f.failure != Failure::none)
      f = {r.freq_ghz, kUnanswered, kUnanswered, kUnanswered,
           r.failure == modal::Failure::too_much_work ? Failure::too_much_work
                                                      : Failure::analysis_failed};
    figures.push_back(f);
  }
  return figures;
}

BandFigures band_figures(const modal::Profile &profile, std::span<const double> freqs_ghz,
                         const modal::AnalysisOptions &options) {
  const double lowest = -std::numeric_limits<double>::infinity();
  BandFigures worst{lowest, lowest, Failure::none};
  if (freqs_ghz.empty())
    return {kUnanswered, kUnanswered, Failure::invalid_input};
  for (const FrequencyFigures &f : frequency_figures(profile, freqs_ghz, options)) {
    if (f.failure != Failure::none)
      return {kUnanswered, kUnanswered, f.failure};
    worst.worst_s11_db = std::max(worst.worst_s11_db, f.s11_db);
    worst.worst_xpol_db = std::max(worst.worst_xpol_db, f.xpol_peak_db);
  }
  return worst;
}

Optimised optimise(const CorrugatedHorn &start, const BandEvaluator &evaluate,
                   const OptimiseOptions &options) {
  Optimised result;
  result.horn = start;
  if (!options_valid(options, start.corrugations.size()) || !evaluate) {
    result.failure = Failure::invalid_input;
    return result;
  }
  if (const Failure why = check_machinable(start, options.rules); why != Failure::none) {
    result.failure = why;
    return result;
  }
  Search search{start, evaluate, options, parameters(start, options), Clock::now(), {}, {}, {}};
  const std::vector<double> x0(search.params.size(), 1.0);
  try {
    // The start first: its figures are the reference (a start that meets the targets, or a
    // cancellation at once, stops here).
    if (search.at(x0).failure != Failure::none)
      throw nlopt::forced_stop();
    nlopt::opt opt(nlopt::LN_COBYLA, static_cast<unsigned>(x0.size()));
    std::vector<double> lo, hi;
    for (const Parameter &p : search.params) {
      lo.push_back(p.lo);
      hi.push_back(p.hi);
    }
    opt.set_lower_bounds(lo);
    opt.set_upper_bounds(hi);
    opt.set_min_objective(objective, &search);
    opt.add_inequality_constraint(constraint, &search, 0);
    opt.set_initial_step(options.initial_step);
    opt.set_xtol_rel(1e-4);
    // The search's own limits stop it first; these are NLopt's backstop.
    opt.set_maxeval(static_cast<int>(4 * options.max_evaluations + 8));
    opt.set_maxtime(options.max_seconds + 1);
    std::vector<double> x = x0;
    double value = 0;
    opt.optimize(x, value);
  } catch (const nlopt::forced_stop &) {
    // A limit, the targets met or the caller's cancellation: the best so far stands.
  } catch (const nlopt::roundoff_limited &) {
    // COBYLA's model reached the rounding of the figures: the best so far stands.
  }
  result.start = search.first;
  if (result.start.failure != Failure::none) // an unanswered start has no figures, not a penalty's
    result.start = {kUnanswered, kUnanswered, result.start.failure};
  if (result.start.failure == Failure::none && !search.best_x.empty()) {
    result.horn = apply(start, search.params, search.best_x);
    result.best = search.best;
  } else {
    result.best = result.start;
  }
  result.evaluations = search.evaluations;
  result.seconds = std::chrono::duration<double>(Clock::now() - search.began).count();
  result.targets_met = feasible_reached(result.best, options);
  if (search.cancelled)
    result.failure = Failure::cancelled;
  else if (result.start.failure != Failure::none)
    result.failure = result.start.failure;
  return result;
}

} // namespace kelvor::asbuilt
