// The analysis of a staircase profile at one frequency and over a band.
//
// Mode counts. Every section gets the TE1n/TM1n modes whose cut-off wavenumber lies below its own
// highest cut-off, completed to whole TE1n/TM1n pairs (staircase.hpp's mode_counts_below): the
// larger of kCutoffRatio times the free-space k at the (top) frequency and the cut-off that puts
// kBorePairs pairs across the section's bore, the smallest radius within an eighth of a wavelength
// of it (bore_radii). Across a step the two guides mostly share their bore, hence their cut-off,
// and their counts go as their radii: the fields on either side are resolved alike (relative
// convergence, Mittra, Itoh & Li 1972). The bore sets the resolution where the field fills the
// guide up to its teeth: at the throat and in the mode converter, whose half-wave slots leave the
// wall nearly metal, every step's edge is strongly excited, and a count that only follows k (or the
// narrowest guide) leaves 1 to 2 mm teeth unresolved; near a wide aperture the quarter-wave slots
// hold the field off the wall and k's cut-off suffices. The 60-slot horn of bench/modal_bench.cpp
// so gets 24 modes in its 10.5 mm throat, 62 in the converter's deepest slot and 32 in its widest
// slot (12 GHz); the common cut-off of 3 k with at least 6 modes in the narrowest guide (the
// earlier rule) gave 6, 18 and 48. mode_scale multiplies the cut-off and the pairs; widest_modes
// instead sets one common cut-off halfway past the widest section's widest_modes-th mode (a
// fixed-ratio study). A band takes its counts at its top frequency, so a band's result at f equals
// analyse(f) exactly when f is the band's top, and within the convergence figures otherwise.
//
// Convergence (bench/README.md, bench/fullwave/convergence.py; 9 to 12 GHz every 0.25 GHz, counts
// at 12 GHz): the largest move of S11 (where above -40 dB) and, radiating, of the 45-degree
// cross-polar peak (where above -45 dB) as mode_scale goes 1 -> 1.5 -> 2.25, and (in brackets) the
// earlier rule's 1 -> 1.5:
//   10 -> 15 mm step                     S11 0.067, 0.050 dB at its -34 dB null (0.45)
//   six-slot converter (1 mm teeth)      S11 0.18, 0.05 dB at its total reflection (10.75 GHz;
//                                        1.56)
//   15-period horn of that converter     S11 0.15, 0.04 dB, cross-polar 0.16, 0.07 dB, 11.25 to 12
//                                        GHz (1.43, 0.25); S11 0.41, 0.13 dB at 9 to 11 GHz, on the
//                                        converter's resonances, where S11 is near 0 dB (7.4)
//   60-slot horn (modal_bench.cpp)       S11 0.036, 0.037 dB, cross-polar 0.24, 0.12 dB
//                                        (2.33, 0.43)
//   the rules' Ku horn (0.65 mm teeth)   S11 0.32, 0.10 dB at -39.7 dB, cross-polar 0.76, 0.44 dB
//                                        at -44 dB (11.725 GHz); its worst cross-polar peak over
//                                        10.7 to 12.75 GHz -40.69, -40.34, -40.01 dB
// The 0.05 dB criterion on S11 is met by the 60-slot horn at the default counts; from mode_scale
// 1.5 by the 15-period horn in its band (0.041 dB) and, to the thousandth, by the step and the
// converter (0.050, 0.051 dB); not by the 15-period horn on its resonances nor by the Ku horn. The
// 0.5 dB criterion on the cross-polar peak is met by all but the Ku horn, whose corrugations at a
// pitch of lambda/8 want a cut-off keyed to the period (bench/README.md: tried, not adopted).
// Whole pairs in proportion to each section's radius (exact at a single step of 2 : 3, where the
// common cut-off puts a pair more in the wider guide) and a cos^2 taper of the last pairs'
// couplings were tried too: a horn's radii cannot all stand in whole-pair ratios, and the taper
// leaves fewer modes in effect (bench/README.md).
// kBorePairs = 12 is the most that keeps the 60-slot horn within its speed target (analysis.hpp):
// 14 costs 1.6 times as much. Where convergence is slowest, the converter at 10.75 GHz, S11 is
// -1.330, -1.553 and -1.606 dB at mode_scale 1, 2 and 4: the moves fall as the square of the
// scale, the limit lies near -1.62 dB, and the default is 0.29 dB off it there (0.10 dB at 11.5
// GHz). Teeth of 1 mm beside 2 mm slots want mode_scale 2.
//
// Work limit. One frequency costs about 2.5 (modes)^3 complex multiply-adds per step (sweep.hpp:
// the step's reflection with its load, one LU and one solve), and each section a cost that few
// modes do not remove (its impedances and propagation, the small products' overheads). Measured
// per section and frequency (bench preset, alternating radii: 1.2, 2.0, 7.7, 25, 150 and 340 us
// at 2, 4, 10, 20, 40 and 60 modes), the cost is (modes + kSectionModes)^3 units of about 1.3 ns
// to within a factor of 2 (the fewest modes cost the most a unit). A profile whose sum of that
// over its merged sections exceeds kWorkLimit, or that has more than kMaxSections merged sections,
// is refused with Failure::too_much_work before any matrix is built, as is one whose widest section
// would need more modes than the zero table holds. Measured at one frequency (bench preset): the
// 60-slot horn sums to 6.0e6 and takes about 7.5 ms of one core (bench/README.md); the rules' Ku
// horns of 150 and 250 mm aperture radius (451 and 877 sections, 12.75 GHz) 8.3e7 in 0.2 s and
// 6.0e8 in 0.9 s and 130 MB. The limit is about a second per frequency, enough for an aperture
// ten wavelengths in radius at a pitch of a tenth of a wavelength; at it, 3,478 sections of 60
// modes take 1.1 s and 180 MB. The section bound holds few-mode profiles to a fraction of that
// (100,000 sections of two modes: 0.26 s, 53 MB).
//
// Termination. Failure::none results give S11 at the start of the input section (its length is part
// of S11's phase) for an incident TE11 wave; the last section ends in a matched guide. With
// Termination::radiate the aperture field radiates and the aperture's own reflection back into the
// horn is neglected: measured by FDTD for TE11 in open-ended guides of the test horns' aperture
// radii (radiation.hpp), -36 to -41 dB for the 60-slot horn's 60 mm aperture at 9 to 12 GHz and -32
// to -35 dB for a 30 mm aperture at 10 to 12.5 GHz; a corrugated aperture carrying nearly HE11
// (purity 0.97 to 0.98 for the 60-slot horn) reflects less. S11 of Termination::radiate is that of
// the matched horn: where it is below about -30 dB, the aperture's reflection can move it by dB.
// An aperture below TE11's cut-off radiates, in this approximation, the Huygens field of its
// evanescent waves: the pattern figures stay finite however small that field is
// (aperture_field.hpp), but describe little that a horn would do there; S11 is then near 0 dB.
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
constexpr int kBorePairs = 12;
constexpr double kWorkLimit = 1e9;
constexpr double kSectionModes = 6;
constexpr std::size_t kMaxSections = 100000;
// A band's results are held at once: about 1.5 kB a frequency, and 72 bytes an angle of the three
// cuts. These bounds keep a band near 200 MB (the bindings' arrays about as much again).
constexpr std::size_t kMaxBandFrequencies = 100000;
constexpr double kMaxBandAngles = 2e6;

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

struct ModePlan {
  Failure failure = Failure::none;
  std::vector<int> counts;
};

// One frequency's work at these counts, in the work limit's units.
double work_of(const std::vector<int> &counts) {
  double work = 0;
  for (int count : counts)
    work += std::pow(count + kSectionModes, 3);
  return work;
}

// The plan of these counts, or Failure::too_much_work past the work limit or the section bound. A
// count past the zero table (mode_table_size() + 2) is far past the work limit as well.
ModePlan counted(std::vector<int> counts) {
  if (counts.size() > kMaxSections || work_of(counts) > kWorkLimit)
    return {Failure::too_much_work, {}};
  return {Failure::none, std::move(counts)};
}

// The default cut-off of every merged section: kCutoffRatio k, and at least kBorePairs TE1n/TM1n
// pairs across its bore (just below the bore's next TE1n), the bore taken over an eighth of the top
// frequency's wavelength; mode_scale multiplies the cut-off and the pairs. Empty where the pairs
// alone pass the zero table.
std::vector<double> default_cutoffs_per_m(const Profile &profile, double top_freq_ghz,
                                          double mode_scale) {
  const double k = wavenumber_per_m(top_freq_ghz);
  const double pairs = std::max(1.0, std::ceil(kBorePairs * mode_scale));
  if (2 * pairs >= mode_table_size())
    return {};
  const double bore_cutoff_ka =
      lowest_modes(2 * static_cast<int>(pairs) + 1).back().cutoff_ka * (1 - 1e-9);
  std::vector<double> cutoffs_per_m;
  for (double bore_m : bore_radii(merged_profile(profile), kPi / (4 * k)))
    cutoffs_per_m.push_back(std::max(mode_scale * kCutoffRatio * k, bore_cutoff_ka / bore_m));
  return cutoffs_per_m;
}

// The highest frequency that check_profile accepts, 0 if none: a band's counts are taken there.
double top_accepted_ghz(const Profile &profile, std::span<const double> freqs_ghz) {
  double top_ghz = 0;
  for (double f : freqs_ghz)
    if (check_profile(profile, f) == Failure::none)
      top_ghz = std::max(top_ghz, f);
  return top_ghz;
}

// The mode counts of every merged section at the top frequency, or why there are none.
ModePlan plan_modes(const Profile &profile, double top_freq_ghz, const AnalysisOptions &options) {
  if (!option_problem(options).empty())
    return {Failure::invalid_input, {}};
  if (options.widest_modes >= mode_table_size())
    return {Failure::too_much_work, {}};
  // TE11 and TM11 in every section; more would break the proportion in the narrow ones.
  if (options.widest_modes > 0)
    return counted(mode_counts_below(
        profile, options.mode_scale * widest_cutoff_per_m(profile, options.widest_modes), 2));
  const std::vector<double> cutoffs_per_m =
      default_cutoffs_per_m(profile, top_freq_ghz, options.mode_scale);
  if (cutoffs_per_m.empty())
    return {Failure::too_much_work, {}};
  return counted(mode_counts_below(profile, cutoffs_per_m, 2));
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

// The angles of every pattern cut, 0 to 90 degrees by step_deg (a valid pattern_step_deg).
std::vector<double> cut_angles_deg(double step_deg) {
  std::vector<double> angles;
  for (double theta = 0; theta <= 90 + 1e-9; theta += step_deg)
    angles.push_back(theta);
  return angles;
}

// The aperture's far field into the result: cross-polar peak, directivity, phase centre, cuts.
FrequencyResult with_radiation(FrequencyResult result, const AnalysisOptions &options) {
  RadiationOptions radiation_options;
  radiation_options.xpol_within_deg = options.xpol_within_deg;
  radiation_options.cut_theta_deg = cut_angles_deg(options.pattern_step_deg);
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

std::string option_problem(const AnalysisOptions &options) {
  if (!finite_positive(options.mode_scale))
    return "mode_scale must be a finite number > 0";
  if (options.widest_modes < 0)
    return "widest_modes must be 0 (the default rule) or more";
  if (!finite_positive(options.xpol_within_deg))
    return "xpol_within_deg must be a finite number > 0";
  if (options.xpol_within_deg > 180)
    return "xpol_within_deg must be at most 180 degrees";
  // The finest step bounds a cut's angles (9001) and its work.
  if (!(options.pattern_step_deg >= 0.01 && options.pattern_step_deg <= 90))
    return "pattern_step_deg must be a number from 0.01 to 90";
  return {};
}

std::string band_problem(std::size_t frequencies, const AnalysisOptions &options) {
  if (frequencies > kMaxBandFrequencies)
    return "a band holds at most 100000 frequencies";
  if (options.termination == Termination::radiate && option_problem(options).empty() &&
      static_cast<double>(frequencies) *
              static_cast<double>(cut_angles_deg(options.pattern_step_deg).size()) >
          kMaxBandAngles)
    return "a band's pattern cuts hold at most 2000000 angles (frequencies times the angles of "
           "a cut)";
  return {};
}

FrequencyResult analyse(const Profile &profile, double freq_ghz, const AnalysisOptions &options) {
  return analyse_band(profile, std::span<const double>(&freq_ghz, 1), options).front();
}

double planned_work(const Profile &profile, std::span<const double> freqs_ghz,
                    const AnalysisOptions &options) {
  const double top_ghz = top_accepted_ghz(profile, freqs_ghz);
  if (top_ghz == 0 || !band_problem(freqs_ghz.size(), options).empty())
    return 0;
  const ModePlan plan = plan_modes(profile, top_ghz, options);
  return plan.failure == Failure::none ? work_of(plan.counts) : 0;
}

std::vector<FrequencyResult> analyse_band(const Profile &profile, std::span<const double> freqs_ghz,
                                          const AnalysisOptions &options) {
  std::vector<FrequencyResult> results;
  const bool too_many = !band_problem(freqs_ghz.size(), options).empty();
  for (double f : freqs_ghz)
    results.push_back(refused(f, too_many ? Failure::too_much_work : check_profile(profile, f)));
  if (too_many)
    return results;
  const double top_ghz = top_accepted_ghz(profile, freqs_ghz);
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
