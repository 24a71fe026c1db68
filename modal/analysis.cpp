// The analysis of a staircase profile at one frequency and over a band.
//
// Mode counts. Every section gets the TE1n/TM1n modes whose cut-off wavenumber lies below one
// common highest cut-off, completed to whole TE1n/TM1n pairs (staircase.hpp's mode_counts_below),
// so counts go in proportion to radius and the fields on either side of a step are resolved alike
// (relative convergence, Mittra, Itoh & Li 1972). That cut-off is kCutoffRatio times the free-space
// k at the (top) frequency, and at least just below the (kMinModes + 1)-th mode of the narrowest
// section, so that even the throat carries kMinModes modes; widest_modes instead puts it halfway
// past the widest section's widest_modes-th mode; mode_scale multiplies it. The 60-slot horn of
// bench/modal_bench.cpp so gets 6 modes in its 10.5 mm throat and 48 in its widest slot.
// A band takes its counts at its top frequency, so a band's result at f equals analyse(f) exactly
// when f is the band's top, and within the convergence figures otherwise.
//
// Convergence (bench/README.md; bench/fullwave/cases, 9 to 12 GHz every 0.25 GHz, counts at 12
// GHz): the largest move of S11 (where above -40 dB) and, radiating, of the 45-degree cross-polar
// peak (where above -45 dB) as mode_scale goes 1 -> 1.5 -> 2 -> 3:
//   10 -> 15 mm step                     S11 0.45, 0.14, 0.09 dB (at its -30 dB null; 12 GHz:
//                                        0.11, 0.04, 0.02 dB), monotonic
//   six-slot converter (1 mm teeth)      S11 1.56, 0.61, 0.68 dB (0.84, 0.35, 0.31 dB from 11.25
//                                        GHz, away from its resonances), monotonic but at 9.25 GHz
//   15-period horn of that converter     S11 1.43, 0.63, 0.50 dB, cross-polar 0.25, 0.19, 0.12 dB
//                                        (11.25 to 12 GHz; several dB on the converter's
//                                        resonances at 9.25 to 11 GHz, where S11 is near 0 dB)
//   60-slot horn (modal_bench.cpp)       S11 2.33, 0.84, 0.46 dB (at its -34 to -44 dB dips;
//                                        0.80, 0.23, 0.05 dB where above -30 dB),
//                                        cross-polar 0.43, 0.21, 0.17 dB
// Counts that end on either kind (the earlier rule) moved the step by 2.3, 3.4 and 1.6 dB, the
// 60-slot horn's cross-polar peak by 0.59 dB (1 -> 1.5). The 0.05 dB criterion on S11 is met only
// by the step where it reflects above -20 dB (from mode_scale 1.5) and by the 60-slot horn where
// above -30 dB from mode_scale 2; the cross-polar criterion (0.5 dB) is met by the 60-slot horn at
// every scale, the default included. The corrugated geometries converge slowly (the
// evanescent modes of 1 to 2 mm teeth couple neighbouring steps): the default stays at mode_scale
// 1, which the speed figures of analysis.hpp need (mode_scale 1.5 costs 3.4 times as much).
//
// Work limit. One frequency costs about 2.5 (modes)^3 complex multiply-adds per step (sweep.hpp:
// the step's reflection with its load, one LU and one solve); a profile whose sum over its merged
// sections of (modes)^3 exceeds kWorkLimit is refused with Failure::too_much_work before any matrix
// is built, as is one whose widest section would need more modes than the zero table holds. The
// 60-slot horn sums to 3.5e6 and takes about 8 ms of one core (bench/README.md): the limit is
// about 0.1 s per frequency.
//
// Termination. Failure::none results give S11 at the start of the input section (its length is part
// of S11's phase) for an incident TE11 wave; the last section ends in a matched guide. With
// Termination::radiate the aperture field radiates and the aperture's own reflection back into the
// horn is neglected: measured by FDTD for TE11 in open-ended guides of the test horns' aperture
// radii (radiation.hpp), -36 to -41 dB for the 60-slot horn's 60 mm aperture at 9 to 12 GHz and -32
// to -35 dB for a 30 mm aperture at 10 to 12.5 GHz; a corrugated aperture carrying nearly HE11
// (purity 0.97 to 0.98 for the 60-slot horn) reflects less. S11 of Termination::radiate is that of
// the matched horn: where it is below about -30 dB, the aperture's reflection can move it by dB.
#include "modal/analysis.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

#include "modal/mode_content.hpp"
#include "modal/radiation.hpp"
#include "modal/staircase.hpp"
#include "modal/sweep.hpp"
#include "modal/units.hpp"

#ifdef KELVOR_MODAL_TBB
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#endif

namespace kelvor::modal {

namespace {

constexpr double kCutoffRatio = 3.0;
constexpr int kMinModes = 6;
constexpr double kWorkLimit = 5e7;

FrequencyResult refused(double freq_ghz, Failure failure) {
  FrequencyResult result;
  result.freq_ghz = freq_ghz;
  result.failure = failure;
  result.s11 = {kNaN, kNaN};
  result.s11_db = result.s11_deg = result.xpol_peak_db = result.directivity_dbi = kNaN;
  result.phase_centre_m = result.hybrid_purity = kNaN;
  result.tm11_over_te11 = {kNaN, kNaN};
  return result;
}

bool valid_options(const AnalysisOptions &options) {
  return finite_positive(options.mode_scale) && options.widest_modes >= 0 &&
         finite_positive(options.xpol_within_deg) && options.xpol_within_deg <= 180 &&
         finite_positive(options.pattern_step_deg) && options.pattern_step_deg <= 90;
}

struct ModePlan {
  Failure failure = Failure::none;
  std::vector<int> counts;
};

// The cut-off k_c a halfway between the count-th mode (count >= 1) and the next.
double halfway_cutoff_ka(int count) {
  const std::vector<Mode> modes = lowest_modes(count + 1);
  return (modes[static_cast<std::size_t>(count - 1)].cutoff_ka + modes.back().cutoff_ka) / 2;
}

// The mode counts of every merged section at the top frequency, or why there are none.
ModePlan plan_modes(const Profile &profile, double top_freq_ghz, const AnalysisOptions &options) {
  if (!valid_options(options))
    return {Failure::invalid_input, {}};
  double widest_m = 0, narrowest_m = profile.front().radius_m;
  for (const Section &section : profile) {
    widest_m = std::max(widest_m, section.radius_m);
    narrowest_m = std::min(narrowest_m, section.radius_m);
  }
  // The common cut-off: kCutoffRatio k, and at least just below the narrowest guide's
  // (kMinModes + 1)-th mode; or halfway past the widest guide's widest_modes-th mode. mode_scale
  // multiplies it.
  const double kNarrowestCutoffKa = lowest_modes(kMinModes + 1).back().cutoff_ka * (1 - 1e-9);
  if (options.widest_modes >= mode_table_size())
    return {Failure::too_much_work, {}};
  const double cutoff_per_m =
      options.mode_scale * (options.widest_modes > 0
                                ? halfway_cutoff_ka(options.widest_modes) / widest_m
                                : std::max(kCutoffRatio * wavenumber_per_m(top_freq_ghz),
                                           kNarrowestCutoffKa / narrowest_m));
  // TE11 and TM11 in every section; more would break the proportion in the narrow ones.
  ModePlan plan{Failure::none, mode_counts_below(profile, cutoff_per_m, 2)};
  // A count past the zero table (mode_table_size() + 2) is far past the work limit as well.
  double work = 0;
  for (int count : plan.counts)
    work += std::pow(static_cast<double>(count), 3);
  if (work > kWorkLimit)
    return {Failure::too_much_work, {}};
  return plan;
}

// The forward power waves at the aperture, in the unnormalised Bessel basis of aperture_field.hpp,
// for an incident TE11 wave of 1 W: E_t = sqrt(2) b_n sqrt(Z_n) e_n / sqrt(<e_n, e_n>).
ApertureField aperture_field(const GuideSection &aperture, const Eigen::VectorXcd &forward,
                             double freq_ghz) {
  const double k = wavenumber_per_m(freq_ghz);
  ApertureField field{aperture.radius_m, freq_ghz, {}, {}};
  for (std::size_t i = 0; i < aperture.modes.size(); ++i) {
    const Mode &mode = aperture.modes[i];
    const std::complex<double> sqrt_z = std::sqrt(
        relative_impedance(mode, axial_wavenumber(mode, aperture.radius_m, k), k) * kEta0);
    const std::complex<double> amplitude = std::sqrt(2.0) * forward(static_cast<Eigen::Index>(i)) *
                                           sqrt_z /
                                           std::sqrt(profile_norm_m2(mode, aperture.radius_m));
    (mode.kind == ModeKind::te ? field.te : field.tm).push_back(amplitude);
  }
  return field;
}

// The three cuts in dB relative to the largest co-polar level among them.
std::vector<PatternCut> pattern_cuts(const RadiationSummary &radiation) {
  double peak = 0;
  for (const RadiationCut &cut : radiation.cuts)
    for (const std::complex<double> &co : cut.co)
      peak = std::max(peak, std::norm(co));
  const auto level_db = [peak](std::complex<double> field) {
    return 10 * std::log10(std::norm(field) / peak);
  };
  std::vector<PatternCut> cuts;
  for (const RadiationCut &cut : radiation.cuts) {
    PatternCut &out = cuts.emplace_back(PatternCut{cut.phi_deg, radiation.theta_deg, {}, {}});
    for (std::size_t i = 0; i < cut.co.size(); ++i) {
      out.co_db.push_back(level_db(cut.co[i]));
      out.cross_db.push_back(level_db(cut.cross[i]));
    }
  }
  return cuts;
}

// The aperture's far field into the result: cross-polar peak, directivity, phase centre, cuts.
FrequencyResult with_radiation(FrequencyResult result, const AnalysisOptions &options) {
  RadiationOptions radiation_options;
  radiation_options.xpol_within_deg = options.xpol_within_deg;
  for (double theta = 0; theta <= 90 + 1e-9; theta += options.pattern_step_deg)
    radiation_options.cut_theta_deg.push_back(theta);
  const RadiationSummary radiation = radiate(result.aperture, radiation_options);
  if (radiation.failure != Failure::none)
    return refused(result.freq_ghz, radiation.failure);
  result.xpol_peak_db = radiation.xpol_peak_db;
  result.directivity_dbi = radiation.directivity_dbi;
  result.phase_centre_m = radiation.phase_centre_m;
  result.cuts = pattern_cuts(radiation);
  return result;
}

FrequencyResult solve_frequency(const Staircase &staircase, double freq_ghz,
                                const AnalysisOptions &options) {
  const Te11Response response = te11_response(staircase, freq_ghz);
  FrequencyResult result = refused(freq_ghz, Failure::none);
  result.s11 = response.s11;
  result.s11_db = 20 * std::log10(std::abs(result.s11));
  result.s11_deg = std::arg(result.s11) * 180 / kPi;
  const Eigen::VectorXcd &forward = response.forward;
  result.aperture = aperture_field(staircase.sections.back(), forward, freq_ghz);
  // The aperture always holds TE11 and TM11: every section carries at least two modes.
  result.tm11_over_te11 = forward(1) / forward(0);
  result.hybrid_purity = hybrid_purity(result.aperture);
  // A matched component has no far field: its radiation figures stay NaN.
  return options.termination == Termination::radiate ? with_radiation(std::move(result), options)
                                                     : result;
}

void for_each_index(std::size_t n, const std::function<void(std::size_t)> &job) {
#ifdef KELVOR_MODAL_TBB
  // A frequency costs milliseconds: one per task.
  tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n, 1), [&](const auto &range) {
    for (std::size_t i = range.begin(); i != range.end(); ++i)
      job(i);
  });
#else
  for (std::size_t i = 0; i < n; ++i)
    job(i);
#endif
}

} // namespace

FrequencyResult analyse(const Profile &profile, double freq_ghz, const AnalysisOptions &options) {
  return analyse_band(profile, std::span<const double>(&freq_ghz, 1), options).front();
}

std::vector<FrequencyResult> analyse_band(const Profile &profile, std::span<const double> freqs_ghz,
                                          const AnalysisOptions &options) {
  std::vector<FrequencyResult> results;
  double top_ghz = 0;
  for (double f : freqs_ghz) {
    results.push_back(refused(f, check_profile(profile, f)));
    if (results.back().failure == Failure::none)
      top_ghz = std::max(top_ghz, f);
  }
  if (top_ghz == 0)
    return results;
  const ModePlan plan = plan_modes(profile, top_ghz, options);
  if (plan.failure != Failure::none) {
    for (FrequencyResult &result : results)
      result = refused(result.freq_ghz, plan.failure);
    return results;
  }
  const Staircase staircase = prepare_staircase(profile, plan.counts);
  for_each_index(results.size(), [&](std::size_t i) {
    if (results[i].failure == Failure::none)
      results[i] = solve_frequency(staircase, results[i].freq_ghz, options);
  });
  return results;
}

} // namespace kelvor::modal
