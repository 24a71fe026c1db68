// The mode-matching analysis on any profile, frequencies and options: it must answer or name its
// failure, never crash, and every answer must conserve power (a lossless horn reflects at most
// what it is fed).
//
// Input: byte 0 holds the termination (bit 0) and whether widest_modes is set (bit 1); then
// little-endian 16-bit words, each a value u / 1000 (0 to 65.535) or, from 0xfff0, one of the
// special values below (NaN, infinities, zero, negatives, the extremes of double): the number of
// frequencies (1 to 3, the word mod 3 + 1), those frequencies in GHz, mode_scale, xpol_within_deg,
// pattern_step_deg, widest_modes (the word mod 64), then (length, radius) pairs in mm.
//
// Every computation the analysis accepts is bounded by its work limit, which allows about a second
// of an optimised build, and a pattern step of 0.01 degrees 9001 angles a cut; under the
// sanitizers either is too slow for a fuzzer's time limit. So that a slow input is a finding and
// not the limit's own cost, inputs are skipped whose planned work (planned_work) passes 3e7 units
// over their frequencies (about 40 ms optimised) or whose pattern step is under half a degree.
// Special values always reach the analysis.
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "modal/analysis.hpp"

namespace {

using kelvor::modal::AnalysisOptions;
using kelvor::modal::Failure;
using kelvor::modal::Profile;

constexpr double kSpecial[] = {
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    0.0,
    -0.0,
    -1.0,
    std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(),
    std::numeric_limits<double>::max(),
    1e-300,
    1e300,
    1e-9,
    1e9,
    -1e-3,
    0.5e-3,
    1e-12,
};

struct Reader {
  const std::uint8_t *data;
  std::size_t size;
  std::size_t at = 1;

  bool more() const { return at + 2 <= size; }
  unsigned word() {
    if (!more())
      return 0;
    const unsigned w = data[at] | (unsigned{data[at + 1]} << 8);
    at += 2;
    return w;
  }
  double value() {
    const unsigned w = word();
    return w >= 0xfff0 ? kSpecial[w - 0xfff0] : w / 1000.0;
  }
};

// Whether this input would take too long under the sanitizers: more than 3e7 units of the
// analysis's planned work over its frequencies (about 40 ms optimised), or cuts of more than 181
// angles.
bool too_slow_here(const Profile &profile, const std::vector<double> &freqs,
                   const AnalysisOptions &options) {
  if (options.pattern_step_deg >= 0.01 && options.pattern_step_deg < 0.5)
    return true;
  const double work = kelvor::modal::planned_work(profile, freqs, options);
  return work * static_cast<double>(freqs.size()) > 3e7;
}

void check(const kelvor::modal::FrequencyResult &r) {
  if (r.failure != Failure::none)
    return;
  const double reflected = std::norm(r.s11);
  // A uniform guide reflects nothing: -inf dB is its exact answer.
  const bool db_ok = std::isfinite(r.s11_db) || (reflected == 0 && r.s11_db < 0);
  if (!(reflected <= 1 + 1e-6) || !db_ok || !std::isfinite(r.s11_deg)) {
    std::fprintf(stderr, "%g GHz: |S11|^2 %.17g, %g dB, %g deg\n", r.freq_ghz, reflected, r.s11_db,
                 r.s11_deg);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 1)
    return 0;
  Reader in{data, size};
  AnalysisOptions options;
  options.termination =
      (data[0] & 1) ? kelvor::modal::Termination::matched : kelvor::modal::Termination::radiate;
  std::vector<double> freqs(in.word() % 3 + 1);
  for (double &f : freqs)
    f = in.value();
  options.mode_scale = in.value() / 10; // 0 to 6.5
  options.xpol_within_deg = in.value() * 10;
  options.pattern_step_deg = in.value() * 10;
  const unsigned widest = in.word() % 64;
  if (data[0] & 2)
    options.widest_modes = static_cast<int>(widest);
  Profile profile;
  while (in.more()) {
    const double length_mm = in.value();
    profile.push_back({length_mm * 1e-3, in.value() * 1e-3});
  }
  if (too_slow_here(profile, freqs, options))
    return 0;
  for (const auto &result : kelvor::modal::analyse_band(profile, freqs, options))
    check(result);
  return 0;
}
