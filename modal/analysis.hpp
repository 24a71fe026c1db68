// The analysis of a body of revolution by mode matching: the input reflection of TE11, the mode
// content at the aperture and, when the aperture radiates, its far field.
//
// Speed (bench/modal_bench.cpp, bench/README.md; g++ 12 -O3, 2 vCPUs with AVX2, a quiet shared
// machine, 10 December 2026): the 60-slot horn (121 merged sections, 24 to 62 modes) at the
// default counts, matched, costs 7.3 to 7.8 ms of CPU per frequency on one core (target 10 ms), and
// 101 frequencies 0.32 to 0.36 s of wall time over two threads (target 0.5 s); the earlier counts
// (6 to 48 modes, analysis.cpp) cost as much in the same run. Without AVX2 (the portable kernel,
// as on Windows and the page) the sweep costs 1.9 times as much. Mode counts and accuracy:
// analysis.cpp.
#pragma once

#include <complex>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "modal/aperture_field.hpp"
#include "modal/failure.hpp"
#include "modal/profile.hpp"

namespace kelvor::modal {

// How the last section ends.
enum class Termination {
  radiate, // the aperture radiates; its own reflection is neglected (analysis.cpp's header)
  matched, // the last section continues as a matched guide: a component's S11 alone, no pattern
};

struct AnalysisOptions {
  Termination termination = Termination::radiate;
  double mode_scale = 1.0;     // multiplies every mode count (convergence studies: 1.5)
  double xpol_within_deg = 90; // the cross-polar peak is sought over 0 <= theta <= this
  int widest_modes = 0;        // TE and TM modes of the widest section; 0 = the default rule
  double pattern_step_deg = 1; // step of the pattern cuts, 0.01 .. 90 degrees
};

// One pattern cut at azimuth phi_deg: co- and cross-polar levels (Ludwig 3) in dB relative to the
// largest co-polar level of the three cuts, at theta_deg (0 to 90 degrees).
struct PatternCut {
  double phi_deg = 0;
  std::vector<double> theta_deg, co_db, cross_db;
};

struct FrequencyResult {
  double freq_ghz = 0;
  Failure failure = Failure::none;
  std::complex<double> s11;       // reflected TE11 over incident TE11, at the input guide's start
  double s11_db = 0, s11_deg = 0; // 20 log10 |s11|, arg s11
  // The far field (radiation.hpp), NaN for Termination::matched: the peak cross-polar level of the
  // 45-degree plane over 0..xpol_within_deg relative to the co-polar peak, the directivity and the
  // phase centre fitted to the 45-degree co-polar phase (m behind the aperture, inside the horn).
  double xpol_peak_db = 0;
  double directivity_dbi = 0;
  double phase_centre_m = 0;
  ApertureField aperture; // forward waves at the aperture (aperture_field.hpp)
  // Mode content at the aperture. tm11_over_te11 is the ratio of the power-normalised forward
  // amplitudes of TM11 and TE11 (|.|^2 is their power ratio; about 0.18 for the balanced hybrid
  // mode).
  std::complex<double> tm11_over_te11;
  // The hybrid-mode purity: the fraction of the aperture's transverse E field (forward waves) in
  // the balanced HE11 field x^ J0(j01 r / a), as the normalised overlap
  //   |<E, E_HE11>|^2 / (<E, E> <E_HE11, E_HE11>) over the aperture disk; 1 for a pure HE11 field.
  double hybrid_purity = 0;
  std::vector<PatternCut> cuts; // phi = 0 (E), 45, 90 (H) degrees, when the aperture radiates
};

// Why analyse refuses these options with Failure::invalid_input, as a sentence naming the option
// and its bounds; empty when it does not. The faces raise it before any work.
std::string option_problem(const AnalysisOptions &options);

// Why analyse_band refuses a band of this many frequencies, as a sentence naming the bound; empty
// when it does not. A band's results are held at once, so it holds at most 100,000 frequencies
// and, radiating, at most 2,000,000 pattern angles (frequencies times the angles of a cut: 21,978
// frequencies at the default step of 1 degree), about 200 MB. analyse_band refuses every frequency
// of such a band with Failure::too_much_work; the faces raise the sentence before any work.
std::string band_problem(std::size_t frequencies, const AnalysisOptions &options);

// The analysis at one frequency. Refuses (Failure, numbers NaN) what check_profile refuses, and
// Failure::too_much_work beyond the work limit of analysis.cpp.
FrequencyResult analyse(const Profile &profile, double freq_ghz,
                        const AnalysisOptions &options = {});

// The work of analysing this band, per frequency, in the units of the work limit (analysis.cpp):
// the sum over the merged sections of (modes + 6)^3 at the counts the band would take, each unit
// about 1.3 ns of one core in an optimised build; 0 where the analysis would refuse the band
// before any matrix is built. For callers that must bound their own time (a fuzzer, a server).
double planned_work(const Profile &profile, std::span<const double> freqs_ghz,
                    const AnalysisOptions &options = {});

// The analysis at every frequency, the coupling integrals computed once for the band; over the
// cores where the library is built with oneTBB, with results identical to one thread.
std::vector<FrequencyResult> analyse_band(const Profile &profile, std::span<const double> freqs_ghz,
                                          const AnalysisOptions &options = {});

} // namespace kelvor::modal
