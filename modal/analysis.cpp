#include "modal/analysis.hpp"

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

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

} // namespace

FrequencyResult analyse(const Profile &profile, double freq_ghz, const AnalysisOptions &) {
  return refused(freq_ghz, check_profile(profile, freq_ghz));
}

std::vector<FrequencyResult> analyse_band(const Profile &profile, std::span<const double> freqs_ghz,
                                          const AnalysisOptions &options) {
  std::vector<FrequencyResult> results;
  for (double f : freqs_ghz)
    results.push_back(analyse(profile, f, options));
  return results;
}

} // namespace kelvor::modal
