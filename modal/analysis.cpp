// The analysis of a staircase profile at one frequency and over a band.
//
// Mode counts. The widest section gets every TE1n/TM1n mode whose cut-off k_c lies below
// kCutoffRatio times the free-space k at the (top) frequency, at least kMinModes; every other section
// gets a count in proportion to its radius, at least kMinModes (relative convergence); mode_scale
// multiplies both. A band takes its counts at its top frequency, so a band's result at f equals
// analyse(f) exactly when f is the band's top and agrees within the convergence figures otherwise.
// These defaults meet the convergence criterion measured in modal_test.cpp (ConvergesUnderMoreModes)
// and in bench/README.md.
//
// Work limit. One frequency costs about sum over sections of (modes)^3 complex multiply-adds times a
// small constant; a profile whose sum exceeds kWorkLimit (about a second per frequency here) is
// refused with Failure::too_much_work before any matrix is built, as is one whose widest section
// would need more modes than the zero table holds.
//
// Termination. Failure::none results give S11 at the start of the input section (its length is part
// of S11's phase) for an incident TE11 wave; the last section ends in a matched guide. With
// Termination::radiate the aperture field radiates and the aperture's own reflection back into the
// horn is neglected (see the measured size in bench/README.md).
#include "modal/analysis.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

#include "modal/mode_content.hpp"
#include "modal/staircase.hpp"
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

// The mode counts of every merged section at the top frequency, or why there are none.
ModePlan plan_modes(const Profile &profile, double top_freq_ghz, const AnalysisOptions &options) {
  if (!valid_options(options))
    return {Failure::invalid_input, {}};
  double widest_m = 0, narrowest_m = profile.front().radius_m;
  for (const Section &section : profile) {
    widest_m = std::max(widest_m, section.radius_m);
    narrowest_m = std::min(narrowest_m, section.radius_m);
  }
  double widest = options.widest_modes;
  if (widest == 0) {
    // The highest cut-off: kCutoffRatio k, and at least the narrowest guide's kMinModes-th mode's.
    const double narrowest_cutoff_ka = lowest_modes(kMinModes + 1).back().cutoff_ka;
    const double highest_cutoff_per_m =
        std::max(kCutoffRatio * wavenumber_per_m(top_freq_ghz), narrowest_cutoff_ka / narrowest_m);
    widest = modes_below(highest_cutoff_per_m * widest_m);
  }
  widest = std::ceil(std::max<double>(widest, kMinModes) * options.mode_scale);
  if (!(widest <= mode_table_size()))
    return {Failure::too_much_work, {}};
  // TE11 and TM11 in every section; more would break the proportion in the narrow ones.
  ModePlan plan{Failure::none, proportional_mode_counts(profile, static_cast<int>(widest), 2)};
  double work = 0;
  for (int count : plan.counts)
    work += std::pow(static_cast<double>(count), 3);
  if (work > kWorkLimit)
    return {Failure::too_much_work, {}};
  return plan;
}

// The forward power waves at the aperture, in the unnormalised Bessel basis of aperture_field.hpp,
// for an incident TE11 wave of 1 W: E_t = sqrt(2) b_n sqrt(Z_n) e_n / sqrt(<e_n, e_n>).
ApertureField aperture_field(const GuideSection &aperture, const Eigen::VectorXcd &forward, double freq_ghz) {
  const double k = wavenumber_per_m(freq_ghz);
  ApertureField field{aperture.radius_m, freq_ghz, {}, {}};
  for (std::size_t i = 0; i < aperture.modes.size(); ++i) {
    const Mode &mode = aperture.modes[i];
    const std::complex<double> sqrt_z =
        std::sqrt(relative_impedance(mode, axial_wavenumber(mode, aperture.radius_m, k), k) * kEta0);
    const std::complex<double> amplitude = std::sqrt(2.0) * forward(static_cast<Eigen::Index>(i)) * sqrt_z /
                                           std::sqrt(profile_norm_m2(mode, aperture.radius_m));
    (mode.kind == ModeKind::te ? field.te : field.tm).push_back(amplitude);
  }
  return field;
}

FrequencyResult solve_frequency(const Staircase &staircase, double freq_ghz, const AnalysisOptions &options) {
  const ScatteringMatrix s = staircase_scattering(staircase, freq_ghz);
  FrequencyResult result = refused(freq_ghz, Failure::none);
  result.s11 = s.s11(0, 0);
  result.s11_db = 20 * std::log10(std::abs(result.s11));
  result.s11_deg = std::arg(result.s11) * 180 / kPi;
  const Eigen::VectorXcd forward = s.s21.col(0);
  result.aperture = aperture_field(staircase.sections.back(), forward, freq_ghz);
  // The aperture always holds TE11 and TM11: kMinModes >= 2.
  result.tm11_over_te11 = forward(1) / forward(0);
  result.hybrid_purity = hybrid_purity(result.aperture);
  (void)options;
  return result;
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
