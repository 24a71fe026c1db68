// The horn as built for JavaScript (embind): the corrugated horn synthesised from a band and a
// cone, its mode-matching analysis one frequency at a time (the worker reports progress between
// them and is ended to cancel; each analysis is bounded by modal's work limit), its optimisation
// (asbuilt::optimise itself, NLopt's COBYLA compiled in: the page's horn is the program's; the
// worker reports each evaluation and is ended to cancel), and its exports.
// Its own module (KelvorHornCore), loaded by the horn's worker alone.
// The profile crosses as a Float64Array of (length_m, radius_m) pairs, input guide first.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "asbuilt/dxf.hpp"
#include "asbuilt/grasp_cut.hpp"
#include "asbuilt/optimise.hpp"
#include "asbuilt/synthesis.hpp"
#include "modal/analysis.hpp"
#include "web/read_number_js.hpp"

using namespace emscripten;
namespace asbuilt = kelvor::asbuilt;
namespace modal = kelvor::modal;

namespace {

val doubles(const std::vector<double> &values) {
  return val::global("Float64Array").new_(typed_memory_view(values.size(), values.data()));
}

modal::Profile profile_of(const val &pairs) {
  const std::vector<double> flat = convertJSArrayToNumberVector<double>(pairs);
  modal::Profile p;
  for (std::size_t i = 0; i + 1 < flat.size(); i += 2)
    p.push_back({flat[i], flat[i + 1]});
  return p;
}

// The section list in millimetres, one section a line, input guide first.
std::string sections_csv(const modal::Profile &profile) {
  std::string text = "length_mm,radius_mm\n";
  char line[64];
  for (const modal::Section &s : profile) {
    std::snprintf(line, sizeof line, "%.17g,%.17g\n", s.length_m * 1e3, s.radius_m * 1e3);
    text += line;
  }
  return text;
}

val failure_of(asbuilt::Failure failure) {
  val out = val::object();
  out.set("failure",
          std::string(failure == asbuilt::Failure::none ? "" : asbuilt::describe(failure)));
  return out;
}

// The horn's drawing and files, and the synthesis's figures.
val horn_out(const asbuilt::Synthesis &s, const asbuilt::CorrugatedHorn &horn) {
  val out = failure_of(asbuilt::Failure::none);
  const modal::Profile p = asbuilt::profile(horn);
  std::vector<double> flat;
  for (const modal::Section &one : p)
    flat.insert(flat.end(), {one.length_m, one.radius_m});
  out.set("sections", doubles(flat));
  out.set("slots", static_cast<double>(horn.corrugations.size()));
  out.set("pitchMm", s.pitch_m * 1e3);
  out.set("flareDeg", s.flare_half_angle_deg);
  out.set("csv", sections_csv(p));
  out.set("dxf", asbuilt::half_section_dxf(p));
  return out;
}

asbuilt::Synthesis synthesis_of(double min_ghz, double max_ghz, double aperture_mm,
                                double slant_mm) {
  return asbuilt::synthesise({min_ghz, max_ghz}, aperture_mm * 1e-3, slant_mm * 1e-3);
}

val synthesise_js(double min_ghz, double max_ghz, double aperture_mm, double slant_mm) {
  const asbuilt::Synthesis s = synthesis_of(min_ghz, max_ghz, aperture_mm, slant_mm);
  return s.failure == asbuilt::Failure::none ? horn_out(s, s.horn) : failure_of(s.failure);
}

// The optimiser's settings the page offers: the evaluation limit and the targets, and the band's
// frequencies it analyses, as the program's own defaults.
val optimise_defaults_js() {
  const asbuilt::OptimiseOptions o;
  val out = val::object();
  out.set("frequencies", static_cast<double>(asbuilt::kOptimiseFrequencies));
  out.set("maxEvaluations", static_cast<double>(o.max_evaluations));
  out.set("s11TargetDb", o.s11_target_db);
  out.set("xpolTargetDb", o.xpol_target_db);
  return out;
}

// The optimiser's counts as the page takes them: whole numbers from 1 to their bound. The reason
// one is refused, empty when it is taken.
std::string count_refusal(double n, double most) {
  if (n >= 1 && n <= most && std::floor(n) == n)
    return {};
  char text[64];
  std::snprintf(text, sizeof text, "give a whole number from 1 to %.0f", most);
  return text;
}

val optimise_counts_js(double frequencies, double max_evaluations) {
  val out = val::object();
  out.set("optFreqs", count_refusal(frequencies, asbuilt::kMaxOptimiseFrequencies));
  out.set("optEvaluations", count_refusal(max_evaluations, asbuilt::kMaxOptimiseEvaluations));
  return out;
}

val figures_js(const asbuilt::BandFigures &f) {
  val out = val::object();
  out.set("s11Db", f.worst_s11_db);
  out.set("xpolDb", f.worst_xpol_db);
  return out;
}

// The synthesised horn optimised as the program optimises it: its converter's slots as
// synthesised, the worst figures over `frequencies` of the band, at most max_evaluations
// analyses, the other settings asbuilt::optimise's own. progress(evaluation, figures, best) after
// each evaluation. Counts that count_refusal refuses are invalid input.
val optimise_js(double min_ghz, double max_ghz, double aperture_mm, double slant_mm,
                double frequencies, double max_evaluations, const val &progress) {
  const asbuilt::Synthesis s = synthesis_of(min_ghz, max_ghz, aperture_mm, slant_mm);
  if (s.failure != asbuilt::Failure::none)
    return failure_of(s.failure);
  if (!count_refusal(frequencies, asbuilt::kMaxOptimiseFrequencies).empty() ||
      !count_refusal(max_evaluations, asbuilt::kMaxOptimiseEvaluations).empty())
    return failure_of(asbuilt::Failure::invalid_input);
  asbuilt::OptimiseOptions o;
  o.converter_slots = s.converter_slots;
  o.max_evaluations = static_cast<std::size_t>(max_evaluations);
  o.progress = [&](const asbuilt::Iteration &i) {
    progress(static_cast<double>(i.evaluation), figures_js(i.figures), figures_js(i.best));
    return true;
  };
  const std::vector<double> freqs =
      asbuilt::band_frequencies({min_ghz, max_ghz}, static_cast<std::size_t>(frequencies));
  const asbuilt::Optimised r = asbuilt::optimise(
      s.horn, [&](const modal::Profile &p) { return asbuilt::band_figures(p, freqs); }, o);
  if (r.failure != asbuilt::Failure::none)
    return failure_of(r.failure);
  val out = horn_out(s, r.horn);
  out.set("start", figures_js(r.start));
  out.set("best", figures_js(r.best));
  out.set("evaluations", static_cast<double>(r.evaluations));
  out.set("seconds", r.seconds);
  out.set("targetsMet", r.targets_met);
  out.set("s11TargetDb", o.s11_target_db);
  out.set("xpolTargetDb", o.xpol_target_db);
  return out;
}

val frequencies_js(double min_ghz, double max_ghz, double count) {
  return doubles(asbuilt::band_frequencies({min_ghz, max_ghz}, static_cast<std::size_t>(count)));
}

// One frequency: S11, the 45-degree cross-polar peak and the three pattern cuts (dB).
val analyse_js(const val &pairs, double freq_ghz) {
  const modal::FrequencyResult r = modal::analyse(profile_of(pairs), freq_ghz);
  val out = val::object();
  out.set("failure",
          std::string(r.failure == modal::Failure::none ? "" : modal::describe(r.failure)));
  out.set("s11Db", r.s11_db);
  out.set("xpolDb", r.xpol_peak_db);
  val cuts = val::array();
  for (const modal::PatternCut &c : r.cuts) {
    val cut = val::object();
    cut.set("phi", c.phi_deg);
    cut.set("theta", doubles(c.theta_deg));
    cut.set("co", doubles(c.co_db));
    cut.set("cross", doubles(c.cross_db));
    cuts.call<void>("push", cut);
  }
  out.set("cuts", cuts);
  return out;
}

// The GRASP cut file of the far field at freq_ghz (1-degree steps); empty when there is none.
std::string cut_js(const val &pairs, double freq_ghz) {
  const modal::FrequencyResult r = modal::analyse(profile_of(pairs), freq_ghz);
  if (r.failure != modal::Failure::none)
    return {};
  char title[64];
  std::snprintf(title, sizeof title, "KELVOR horn %g GHz", freq_ghz);
  return asbuilt::grasp_cut_file(asbuilt::aperture_cuts(r.aperture, 1.0, title));
}

} // namespace

EMSCRIPTEN_BINDINGS(kelvor_horn) {
  function("readNumber", &kelvor::web::read_number_js);
  function("hornSynthesise", &synthesise_js);
  function("hornOptimiseDefaults", &optimise_defaults_js);
  function("hornOptimiseCounts", &optimise_counts_js);
  function("hornOptimise", &optimise_js);
  function("hornFrequencies", &frequencies_js);
  function("hornAnalyse", &analyse_js);
  function("hornCut", &cut_js);
}
