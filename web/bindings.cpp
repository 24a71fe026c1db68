// The core's entry points for JavaScript (embind). Numbers cross as the floats
// the core holds: a float is exactly a JavaScript number, so nothing is rounded
// on the way; typed text is read by read_number alone, never by JavaScript.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <vector>

#include "rows/row_count.hpp"
#include "rows/rows.hpp"
#include "web/bits.hpp"
#include "web/core.hpp"
#ifdef KELVOR_WEB_MODEL_TRUE
#include "web/model_true.hpp"
#endif

using namespace emscripten;
using namespace kelvor::web;

namespace {

val read_number_js(const std::string &text) {
  const Number n = read_number(text);
  val out = val::object();
  out.set("status", static_cast<int>(n.status));
  out.set("value", n.value);
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

val pattern_js(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const auto points = pattern(request, horn, FREQ, range);
  val out = val::object();
  out.set("theta", column(points, [](const auto &p) { return p.THETA; }));
  out.set("level", column(points, [](const auto &p) { return p.LEVEL; }));
  out.set("phase", column(points, [](const auto &p) { return p.PHASE; }));
  out.set("csv", pattern_csv(points));
  return out;
}

#ifdef KELVOR_WEB_MODEL_TRUE
val doubles(const std::vector<double> &values) {
  return val::global("Float64Array").new_(typed_memory_view(values.size(), values.data()));
}

val dish_curve_js(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const DishCurve curve = dish_curve(request, horn, FREQ, range);
  val out = val::object();
  out.set("fOverD", doubles(curve.f_over_d));
  out.set("aperture", doubles(curve.aperture));
  out.set("spillover", doubles(curve.spillover));
  out.set("illumination", doubles(curve.illumination));
  out.set("phase", doubles(curve.phase));
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
  function("nominalLevelIndex", &kelvor::rows::nominal_level_index);
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
  function(
      "gridBits", +[](const std::string &line) { return grid_bits(line); });
#ifdef KELVOR_WEB_MODEL_TRUE
  function("modelDesignHeading", &model_design_heading);
  function("modelDesignBlock", &model_design_block);
  function("dishCurve", &dish_curve_js);
#endif
}
