// The mode-matching engine over numpy arrays: a section list (n x 2, length and radius in metres)
// and frequencies (GHz) in, one array per figure out, failures as integer codes
// (modal_failure_names gives their meaning). Options past their bounds raise ValueError with the
// engine's own sentence (option_problem). The pure-Python kelvor.modal checks the arguments' types
// and shapes, converts units and shapes the result.
//
// A band is analysed a chunk at a time with the GIL released; between chunks the GIL is taken back
// so that Control-C ends the call. The engine chooses its mode counts at the band's top frequency,
// so every chunk is analysed together with the band's top frequency (its result dropped when the
// chunk does not hold it): each chunk then gets the whole band's counts, and the result equals one
// analyse_band over the whole band, value for value.
#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstddef>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "chunked.hpp"
#include "modal/analysis.hpp"
#include "profile_array.hpp"

namespace py = pybind11;
using namespace kelvor::modal;

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Chunks start at one frequency per core and double while one takes less than half of
// kChunkTime: a frequency of a long corrugated horn costs tens of milliseconds, so a pending
// Control-C is seen within a fraction of a second.
constexpr std::size_t kFirstChunk = 2;
constexpr std::chrono::milliseconds kChunkTime{200};

// Every result of the band, a chunk at a time (see the top of this file).
std::vector<FrequencyResult> analyse_chunked(const Profile &profile, std::span<const double> freqs,
                                             const AnalysisOptions &options) {
  std::vector<FrequencyResult> all;
  if (freqs.empty())
    return all;
  const double top = *std::max_element(freqs.begin(), freqs.end());
  in_chunks(freqs.size(), kFirstChunk, kChunkTime, [&](std::size_t begin, std::size_t n) {
    std::vector<double> these(freqs.begin() + static_cast<std::ptrdiff_t>(begin),
                              freqs.begin() + static_cast<std::ptrdiff_t>(begin + n));
    if (std::find(these.begin(), these.end(), top) == these.end())
      these.push_back(top);
    std::vector<FrequencyResult> results = analyse_band(profile, these, options);
    results.resize(n);
    std::move(results.begin(), results.end(), std::back_inserter(all));
  });
  return all;
}

// An array of the given shape, filled by value(i) at flat index i.
template <class T, class Value> py::array_t<T> filled(std::vector<py::ssize_t> shape, Value value) {
  py::array_t<T> out(shape);
  T *p = out.mutable_data();
  for (py::ssize_t i = 0; i < out.size(); ++i)
    p[i] = value(static_cast<std::size_t>(i));
  return out;
}

// The cuts' levels as n x cuts x angles: NaN where a frequency has no pattern.
py::array_t<double> cut_levels(const std::vector<FrequencyResult> &r, std::size_t cuts,
                               std::size_t angles, std::vector<double> PatternCut::*levels) {
  return filled<double>({static_cast<py::ssize_t>(r.size()), static_cast<py::ssize_t>(cuts),
                         static_cast<py::ssize_t>(angles)},
                        [&](std::size_t i) {
                          const FrequencyResult &one = r[i / (cuts * angles)];
                          const std::size_t c = i / angles % cuts;
                          return one.cuts.size() == cuts ? (one.cuts[c].*levels)[i % angles]
                                                         : std::nan("");
                        });
}

// The analysis of `sections` at every frequency of `freq_ghz`. widest_modes 0 is the engine's
// default mode rule; mode_scale multiplies the counts.
py::dict analyse_sections(const Array &sections, const Array &freq_ghz, bool matched,
                          int widest_modes, double mode_scale, double xpol_within_deg) {
  const Profile profile = profile_of(sections);
  AnalysisOptions options;
  options.termination = matched ? Termination::matched : Termination::radiate;
  options.widest_modes = widest_modes;
  options.mode_scale = mode_scale;
  options.xpol_within_deg = xpol_within_deg;
  if (const std::string problem = option_problem(options); !problem.empty())
    throw py::value_error(problem);
  if (const std::string problem = band_problem(static_cast<std::size_t>(freq_ghz.size()), options);
      !problem.empty())
    throw py::value_error(problem);
  const std::vector<FrequencyResult> r = analyse_chunked(
      profile, {freq_ghz.data(), static_cast<std::size_t>(freq_ghz.size())}, options);
  const auto n = static_cast<py::ssize_t>(r.size());
  const auto column = [&](auto field) {
    using T = decltype(field(r.front()));
    return filled<T>({n}, [&](std::size_t i) { return field(r[i]); });
  };
  // Every radiating result has the same cuts (phi 0, 45, 90) at the same angles.
  const auto patterned = std::find_if(r.begin(), r.end(),
                                      [](const FrequencyResult &one) { return !one.cuts.empty(); });
  std::vector<double> theta, phi;
  if (patterned != r.end()) {
    theta = patterned->cuts.front().theta_deg;
    for (const PatternCut &cut : patterned->cuts)
      phi.push_back(cut.phi_deg);
  }
  py::dict d;
  d["freq_ghz"] = column([](const FrequencyResult &x) { return x.freq_ghz; });
  d["failure"] = column([](const FrequencyResult &x) { return static_cast<int>(x.failure); });
  d["s11_db"] = column([](const FrequencyResult &x) { return x.s11_db; });
  d["s11_deg"] = column([](const FrequencyResult &x) { return x.s11_deg; });
  d["xpol_peak_db"] = column([](const FrequencyResult &x) { return x.xpol_peak_db; });
  d["directivity_dbi"] = column([](const FrequencyResult &x) { return x.directivity_dbi; });
  d["phase_centre_m"] = column([](const FrequencyResult &x) { return x.phase_centre_m; });
  d["tm11_over_te11"] = column([](const FrequencyResult &x) { return x.tm11_over_te11; });
  d["hybrid_purity"] = column([](const FrequencyResult &x) { return x.hybrid_purity; });
  d["theta_deg"] = filled<double>({static_cast<py::ssize_t>(theta.size())},
                                  [&](std::size_t i) { return theta[i]; });
  d["phi_deg"] =
      filled<double>({static_cast<py::ssize_t>(phi.size())}, [&](std::size_t i) { return phi[i]; });
  d["co_db"] = cut_levels(r, phi.size(), theta.size(), &PatternCut::co_db);
  d["cross_db"] = cut_levels(r, phi.size(), theta.size(), &PatternCut::cross_db);
  return d;
}

py::list failure_names() {
  py::list names;
  for (int i = 0; i <= static_cast<int>(Failure::not_converged); ++i)
    names.append(describe(static_cast<Failure>(i)));
  return names;
}

} // namespace

void bind_modal(py::module_ &m) {
  m.def("modal_analyse", &analyse_sections);
  // The analysis's own defaults, for the faces to read.
  py::class_<AnalysisOptions>(m, "AnalysisOptions")
      .def(py::init<>())
      .def_readonly("mode_scale", &AnalysisOptions::mode_scale)
      .def_readonly("xpol_within_deg", &AnalysisOptions::xpol_within_deg);
  m.def("modal_failure_names", &failure_names);
  m.def("modal_profile_problem", [](const Array &sections, double freq_ghz) {
    return profile_problem(profile_of(sections), freq_ghz);
  });
}
