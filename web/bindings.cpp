// The core's entry points for JavaScript (embind). Numbers cross as the floats
// the core holds: a float is exactly a JavaScript number, so nothing is rounded
// on the way; typed text is read by read_number alone, never by JavaScript.
// Statuses cross by name with their messages, so the page restates no code.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <vector>

#include "rows/levels.hpp"
#include "rows/row_count.hpp"
#include "rows/rows.hpp"
#include "web/core.hpp"
#include "web/read_number_js.hpp"
#ifdef KELVOR_WEB_MODEL_TRUE
#include "web/model_true.hpp"
#endif

using namespace emscripten;
using namespace kelvor::web;

namespace {

val count_rows_js(float start, float stop, float step) {
  const RangeCount c = count_rows(start, stop, step);
  val out = val::object();
  out.set("status", std::string(status_name(c.status)));
  out.set("rows", c.rows);
  out.set("message", c.message);
  return out;
}

val nominal_levels_js() {
  val out = val::array();
  for (const float level : kelvor::rows::LEVNOM)
    out.call<void>("push", level);
  return out;
}

// One column of the cut as a Float32Array of its own.
template <class Field> val column(const std::vector<kelvor::horn::PatternPoint> &points, Field f) {
  std::vector<float> values;
  values.reserve(points.size());
  for (const auto &p : points)
    values.push_back(f(p));
  return val::global("Float32Array").new_(typed_memory_view(values.size(), values.data()));
}

val doubles(const std::vector<double> &values) {
  return val::global("Float64Array").new_(typed_memory_view(values.size(), values.data()));
}

val pattern_js(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const PatternCut cut = pattern(request, horn, FREQ, range);
  const auto &points = cut.points;
  val out = val::object();
  out.set("theta", column(points, [](const auto &p) { return p.THETA; }));
  out.set("level", column(points, [](const auto &p) { return p.LEVEL; }));
  out.set("phase", column(points, [](const auto &p) { return p.PHASE; }));
  out.set("phaseFromCentre", doubles(cut.phase_from_centre_deg));
  out.set("phaseCentre", cut.phase_centre);
  out.set("csv", pattern_csv(request, horn, FREQ, cut));
  return out;
}

#ifdef KELVOR_WEB_MODEL_TRUE
val dish_curve_js(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const DishCurve curve = dish_curve(request, horn, FREQ, range);
  val out = val::object();
  out.set("fOverD", doubles(curve.f_over_d));
  out.set("aperture", doubles(curve.aperture));
  out.set("spillover", doubles(curve.spillover));
  out.set("illumination", doubles(curve.illumination));
  out.set("phase", doubles(curve.phase));
  out.set("feedPosition", doubles(curve.feed_position));
  out.set("csv", curve.csv);
  return out;
}
#endif

} // namespace

EMSCRIPTEN_BINDINGS(kelvor_core) {
  value_object<Request>("Request")
      .field("IUNIT", &Request::IUNIT)
      .field("FREQ", &Request::FREQ)
      .field("BWUSR", &Request::BWUSR)
      .field("LEVUSR", &Request::LEVUSR)
      .field("KLEV", &Request::KLEV);
  value_object<Horn>("Horn").field("aperture", &Horn::aperture).field("slant", &Horn::slant);
  value_object<RowRange>("RowRange")
      .field("start", &RowRange::start)
      .field("step", &RowRange::step)
      .field("first", &RowRange::first)
      .field("last", &RowRange::last);
  value_object<Block>("Block").field("records", &Block::records).field("csv", &Block::csv);

  function("readNumber", &read_number_js);
  function("countRows", &count_rows_js);
  function("nominalLevels", &nominal_levels_js);
  function("nominalLevelIndex", &kelvor::rows::nominal_level_index);
  function(
      "unitCode", +[](const std::string &name) { return unit_code(name); });
  function(
      "unitName", +[](std::int32_t IUNIT) { return std::string(unit_name(IUNIT)); });
  function(
      "unitMessage", +[] { return std::string(kUnitMessage); });
  function("rowCount", &kelvor::rows::row_count);
  function(
      "rowValue", +[](double k, float start, float step) {
        return kelvor::rows::row_value(static_cast<std::int64_t>(k), start, step);
      });
  function("designHeading", &design_heading);
  function("designBlock", &design_block);
  function("responseHeading", &response_heading);
  function("responseBlock", &response_block);
  function("pattern", &pattern_js);
#ifdef KELVOR_WEB_MODEL_TRUE
  function("modelDesignHeading", &model_design_heading);
  function("modelDesignBlock", &model_design_block);
  function("dishCurve", &dish_curve_js);
  function("dishRefusal", &dish_refusal);
  function("dishHeading", &dish_heading);
  function("hornPhaseDeviation", &horn_phase_deviation);
  function("hornValidity", &horn_validity);
#endif
}
