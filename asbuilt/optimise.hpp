// A short optimisation of a synthesised horn by mode matching: the mode converter's slot depths
// (and optionally its slot widths) and the first flare slots' depths are adjusted to lower the
// worst input reflection over the band, with the peak 45-degree cross-polar level held under a
// target as a constraint.
//
// Method: NLopt's COBYLA (M. J. D. Powell, "A direct search optimization method that models the
// objective and constraint functions by linear interpolation", 1994), derivative-free and local,
// with the constraint worst_xpol_db - xpol_target_db <= 0 and bounds that keep every slot
// machinable. Each parameter is scaled by its starting value, so the initial step is a fraction
// of each. The best geometry met is kept by a strict order (feasible before infeasible; then the
// lower worst S11, or among infeasible ones the lower excess cross-polar level), the start among
// them, so the result is never worse than the start (optimise_test). Bounded by the number of
// evaluations and the wall-clock time; the caller's callback sees every evaluation and may stop.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <span>
#include <vector>

#include "asbuilt/failure.hpp"
#include "asbuilt/synthesis.hpp"
#include "modal/analysis.hpp"

namespace kelvor::asbuilt {

// The figures of a horn over the band: the worst (highest) S11 and 45-degree cross-polar peak, dB;
// NaN where none were computed (a refused optimisation reports no figures).
struct BandFigures {
  double worst_s11_db = std::numeric_limits<double>::quiet_NaN();
  double worst_xpol_db = std::numeric_limits<double>::quiet_NaN();
  Failure failure = Failure::none;
};

// Computes the figures of a profile; the optimiser calls it once per evaluation.
using BandEvaluator = std::function<BandFigures(const modal::Profile &)>;

// The figures of one frequency: S11, the 45-degree cross-polar peak (dB) and the directivity (dBi),
// NaN where the analysis has no answer: Failure::too_much_work where the engine refused the profile
// as more work than its limit, Failure::analysis_failed otherwise.
struct FrequencyFigures {
  double freq_ghz = 0, s11_db = 0, xpol_peak_db = 0, directivity_dbi = 0;
  Failure failure = Failure::none;
};

// The mode-matching analysis (modal::analyse_band) at freqs_ghz, with the cross-polar peak and the
// directivity of the aperture's radiation (modal::radiate) where the analysis leaves them out.
std::vector<FrequencyFigures> frequency_figures(const modal::Profile &profile,
                                                std::span<const double> freqs_ghz,
                                                const modal::AnalysisOptions &options = {});

// Their worst over the band; Failure::analysis_failed when any frequency has no answer,
// invalid_input for no frequency.
BandFigures band_figures(const modal::Profile &profile, std::span<const double> freqs_ghz,
                         const modal::AnalysisOptions &options = {});

// One evaluation as the callback sees it: its figures and the best so far.
struct Iteration {
  std::size_t evaluation = 0; // from 1, the start
  BandFigures figures;
  BandFigures best;
};

// The band's evenly spaced frequencies (band_frequencies) the optimiser analyses by default, and
// at most; the most evaluations an optimisation may be given.
inline constexpr std::size_t kOptimiseFrequencies = 11;
inline constexpr double kMaxOptimiseFrequencies = 201;
inline constexpr double kMaxOptimiseEvaluations = 100000;

struct OptimiseOptions {
  double s11_target_db = -30;      // stop early once the best meets both targets
  double xpol_target_db = -35;     // the constraint
  std::size_t converter_slots = 5; // the first slots, whose depths (and widths) vary
  std::size_t flare_slots = 3;     // the next slots, whose depths vary
  bool vary_widths = false;        // the converter's slot widths too (the pitch kept)
  // Each depth within [max(min_depth, (1 - depth_range) d0), (1 + depth_range) d0].
  double depth_range = 0.5;
  double initial_step = 0.05; // the first step, a fraction of each starting value
  std::size_t max_evaluations = 300;
  double max_seconds = 55;
  SynthesisRules rules; // the workshop's limits (min_tooth_m, min_slot_m, min_depth_m)
  // Called after every evaluation; returning false stops the optimisation (Failure::cancelled).
  std::function<bool(const Iteration &)> progress;
};

struct Optimised {
  CorrugatedHorn horn; // the best geometry met (the start when nothing better was found)
  BandFigures start, best;
  std::size_t evaluations = 0;
  double seconds = 0;
  bool targets_met = false;
  // none; cancelled (the best so far is returned); analysis_failed or too_much_work when the start
  // has no figures (start and best are then NaN); invalid_input for options out of range or too
  // few slots; not_machinable for a start outside the workshop's limits.
  Failure failure = Failure::none;
};

Optimised optimise(const CorrugatedHorn &start, const BandEvaluator &evaluate,
                   const OptimiseOptions &options = {});

} // namespace kelvor::asbuilt
