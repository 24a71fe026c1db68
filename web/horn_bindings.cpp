// The horn as built for JavaScript (embind): the corrugated horn synthesised from a band and a
// cone, its mode-matching analysis one frequency at a time (the worker reports progress between
// them and is ended to cancel; each analysis is bounded by modal's work limit), and its exports.
// The optimiser needs NLopt, a native library: it runs in Python and the command line, not here.
// Its own module (KelvorHornCore), loaded by the horn's worker alone.
// The profile crosses as a Float64Array of (length_m, radius_m) pairs, input guide first.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <string>
#include <vector>

#include "asbuilt/dxf.hpp"
#include "asbuilt/grasp_cut.hpp"
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

val synthesise_js(double min_ghz, double max_ghz, double aperture_mm, double slant_mm) {
  const asbuilt::Synthesis s =
      asbuilt::synthesise({min_ghz, max_ghz}, aperture_mm * 1e-3, slant_mm * 1e-3);
  val out = val::object();
  out.set("failure",
          std::string(s.failure == asbuilt::Failure::none ? "" : asbuilt::describe(s.failure)));
  if (s.failure != asbuilt::Failure::none)
    return out;
  const modal::Profile p = asbuilt::profile(s.horn);
  std::vector<double> flat;
  for (const modal::Section &one : p)
    flat.insert(flat.end(), {one.length_m, one.radius_m});
  out.set("sections", doubles(flat));
  out.set("slots", static_cast<double>(s.horn.corrugations.size()));
  out.set("pitchMm", s.pitch_m * 1e3);
  out.set("flareDeg", s.flare_half_angle_deg);
  out.set("csv", sections_csv(p));
  out.set("dxf", asbuilt::half_section_dxf(p));
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
  function("hornFrequencies", &frequencies_js);
  function("hornAnalyse", &analyse_js);
  function("hornCut", &cut_js);
}
