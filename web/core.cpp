#include "web/core.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <span>

#include "dialogue/layouts.hpp"
#include "format/edit_fixed.hpp"
#include "format/layout.hpp"
#include "format/list_read.hpp"
#include "rows/row_count.hpp"
#include "web/csv.hpp"
#include "web/csv_columns.hpp"
#ifdef KELVOR_WEB_MODEL_TRUE
#include "feed/failure.hpp"
#endif

namespace kelvor::web {

namespace L = dialogue::layouts;
using format::Item;
using format::ItemKind;
using format::Layout;
using format::Value;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A CSV row's reason, in the model-true library's words where it is built.
#ifdef KELVOR_WEB_MODEL_TRUE
const std::string kNoFailure = feed::describe(feed::Failure::none);
const std::string kLevelNotReached = feed::describe(feed::Failure::level_not_reached);
#else
const std::string kNoFailure = "none";
const std::string kLevelNotReached = "level never reached";
#endif

std::size_t unit_slot(const Request &request) {
  return request.IUNIT == rows::CENTIMETRES ? 0 : 1;
}

// A field's text as one line of console input.
class TextSource final : public format::CharSource {
public:
  explicit TextSource(std::string_view text) : text_(text) {}
  int next_char() override {
    if (at_ < text_.size())
      return static_cast<unsigned char>(text_[at_++]);
    if (at_++ == text_.size())
      return kLineEnd;
    return kEndOfInput;
  }

private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Collects records as the report file holds them, one per line.
class RecordText final : public format::RecordSink {
public:
  explicit RecordText(std::string &out) : out_(out) {}
  void put_record(std::string_view text, bool) override {
    out_.append(text);
    out_.push_back('\n');
  }

private:
  std::string &out_;
};

void write(std::string &out, Layout layout, std::span<const Value> values = {}) {
  RecordText sink(out);
  format::write_layout(layout, values, sink);
}

// The Fw.d fields of a row layout in the order they take their values, each
// group taken as often as it repeats (the row layouts nest no groups).
std::vector<Item> fixed_fields(Layout layout) {
  std::vector<Item> fields;
  for (std::size_t i = 0; i < layout.size() && layout[i].kind != ItemKind::end; ++i) {
    if (layout[i].kind == ItemKind::fixed) {
      fields.push_back(layout[i]);
    } else if (layout[i].kind == ItemKind::group_begin) {
      std::size_t end = i + 1;
      while (end < layout.size() && layout[end].kind != ItemKind::group_end)
        ++end;
      for (int r = 0; r < layout[i].count; ++r)
        for (std::size_t j = i + 1; j < end; ++j)
          if (layout[j].kind == ItemKind::fixed)
            fields.push_back(layout[j]);
      i = end;
    }
  }
  return fields;
}

// A row's printed values as one record and one CSV line: each CSV value is the
// record's own field, blanks trimmed, so the two never differ in a digit. A
// value with no answer (`missed`) is an empty cell; `tail` ends the line.
template <std::size_t N>
void put_row(Block &block, Layout layout, const std::vector<Item> &fields,
             const std::array<float, N> &printed, const std::array<bool, N> &missed = {},
             const std::string &tail = "") {
  std::array<Value, N> values{};
  for (std::size_t i = 0; i < N; ++i)
    values[i] = format::real(printed[i]);
  write(block.records, layout, values);
  for (std::size_t i = 0; i < N && i < fields.size(); ++i) {
    const std::string text = format::edit_fixed(printed[i], fields[i].width, fields[i].decimals);
    const std::size_t begin = text.find_first_not_of(' ');
    if (i > 0)
      block.csv.push_back(',');
    if (begin != std::string::npos && !missed[i])
      block.csv.append(text, begin);
  }
  block.csv += tail;
  block.csv.push_back('\n');
}

rows::Levels levels(const Request &request) {
  return rows::column_levels(request.LEVUSR, request.KLEV);
}

// The horn as the dialogue carries it: each typed radius in inches, converted once.
rows::ResponseRequest response_request(const Request &request, const Horn &horn) {
  return {rows::to_inches(horn.aperture, request.IUNIT), rows::to_inches(horn.slant, request.IUNIT),
          levels(request), request.IUNIT};
}

} // namespace

Number read_number(std::string_view text) {
  // The second item catches a second value; both start as NaN, which no answer
  // can produce, so an item that is still NaN received none.
  float first = kNaN;
  float second = kNaN;
  const std::array<format::ListItem, 2> items = {format::ListItem{&first},
                                                 format::ListItem{&second}};
  TextSource source(text);
  const format::ReadError error = format::read_list(source, items);
  if (error == format::ReadError::syntax)
    return {NumberStatus::syntax};
  if (error == format::ReadError::conversion)
    return {NumberStatus::too_large};
  if (!std::isnan(second))
    return {NumberStatus::extra};
  if (std::isnan(first))
    return {NumberStatus::empty};
  return {NumberStatus::ok, first};
}

const char *status_name(NumberStatus status) {
  switch (status) {
    case NumberStatus::ok:
      return "ok";
    case NumberStatus::empty:
      return "empty";
    case NumberStatus::syntax:
      return "syntax";
    case NumberStatus::too_large:
      return "too_large";
    case NumberStatus::extra:
      return "extra";
  }
  return "unknown";
}

const char *status_message(NumberStatus status) {
  switch (status) {
    case NumberStatus::ok:
      return "";
    case NumberStatus::empty:
      return "Enter a number.";
    case NumberStatus::syntax:
      return "Not a number the program reads.";
    case NumberStatus::too_large:
      return "Too large for a single-precision number.";
    case NumberStatus::extra:
      return "One number only.";
  }
  return "Not a number.";
}

std::int32_t unit_code(std::string_view name) {
  if (name == "in")
    return rows::INCHES;
  return name == "cm" ? rows::CENTIMETRES : 0;
}

const char *unit_name(std::int32_t IUNIT) {
  return IUNIT == rows::CENTIMETRES ? "cm" : "in";
}

RangeCount count_rows(float start, float stop, float step) {
  if (step == 0.0f)
    return {RangeStatus::zero_step, 0, "The step must not be 0."};
  // The count before truncation: a range of 1e18 rows is too many, not none,
  // though it overflows the dialogue's 32-bit count.
  const double count = rows::row_count_real(start, stop, step);
  if (std::floor(count) > kMaxRows)
    return {RangeStatus::too_many_rows, 0,
            "This range has " + csv::count_text(std::floor(count)) + " rows; at most " +
                std::to_string(kMaxRows) + " are computed."};
  const std::int32_t rows = rows::row_count(start, stop, step);
  if (rows < 1)
    return {RangeStatus::no_rows, 0,
            "This range has no rows: from start, the step must lead towards stop."};
  return {RangeStatus::ok, rows, ""};
}

const char *status_name(RangeStatus status) {
  switch (status) {
    case RangeStatus::ok:
      return "ok";
    case RangeStatus::zero_step:
      return "zero_step";
    case RangeStatus::no_rows:
      return "no_rows";
    case RangeStatus::too_many_rows:
      return "too_many_rows";
  }
  return "unknown";
}

Block design_heading(const Request &request) {
  Block block;
  const std::array<Value, 3> heading = {format::real(request.FREQ), format::real(request.BWUSR),
                                        format::real(request.LEVUSR)};
  write(block.records, L::DESIGN_HEADING, heading);
  write(block.records, L::DESIGN_TABLE_HEADER);
  block.csv = csv::request_block(csv::request_pairs(request, true, nullptr)) +
              csv::columns(csv::kColumns_design, request.IUNIT);
  return block;
}

Block design_block(const Request &request, const RowRange &range) {
  const rows::DesignRequest design{request.FREQ, request.BWUSR, levels(request), request.IUNIT};
  const std::vector<Item> fields = fixed_fields(L::DESIGN_ROW);
  Block block;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const rows::DesignRow row =
        rows::design_row(design, rows::row_value(k, range.start, range.step));
    put_row(block, L::DESIGN_ROW, fields, row.printed, {},
            std::string(",") + csv::flag(row.SRAD >= row.ARAD));
  }
  return block;
}

Block response_heading(const Request &request, const Horn &horn) {
  const rows::ResponseRequest response = response_request(request, horn);
  Block block;
  const std::array<Value, 3> heading = {
      format::real(rows::from_inches(response.ARAD, request.IUNIT)),
      format::text(L::UNITL[unit_slot(request)]),
      format::real(rows::from_inches(response.SRAD, request.IUNIT))};
  write(block.records, L::HORN_HEADING, heading);
  const auto &LEVCOL = response.levels.LEVCOL;
  const std::array<Value, 4> columns = {format::real(LEVCOL[0]), format::real(LEVCOL[1]),
                                        format::real(LEVCOL[2]), format::real(LEVCOL[3])};
  write(block.records, L::RESPONSE_TABLE_HEADER, columns);
  block.csv = csv::request_block(csv::request_pairs(request, false, &horn)) +
              csv::columns(csv::kColumns_response, request.IUNIT, LEVCOL);
  return block;
}

Block response_block(const Request &request, const Horn &horn, const RowRange &range) {
  const rows::ResponseRequest response = response_request(request, horn);
  const bool real_cone = response.SRAD >= response.ARAD;
  const std::vector<Item> fields = fixed_fields(L::RESPONSE_ROW);
  Block block;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const rows::ResponseRow row =
        rows::response_row(response, rows::row_value(k, range.start, range.step));
    // A level the pattern never falls to has no beamwidth: the table prints a
    // negative one (-180.0, scaled in a replaced column); the CSV leaves the
    // cell empty and its reason names the levels.
    std::array<bool, 7> missed{};
    std::string levels;
    for (std::size_t j = 0; j < row.BWCOL.size(); ++j) {
      missed[j + 1] = row.BWCOL[j] < 0.0f;
      if (missed[j + 1])
        levels += (levels.empty() ? "" : " ") + csv::shortest(response.levels.LEVCOL[j]);
    }
    const std::string reason =
        levels.empty() ? kNoFailure : kLevelNotReached + (": " + levels + " dB");
    put_row(block, L::RESPONSE_ROW, fields, row.printed, missed,
            std::string(",") + csv::flag(real_cone) + "," + reason);
  }
  return block;
}

PatternCut pattern(const Request &request, const Horn &shape, float FREQ, const RowRange &range) {
  const rows::ResponseRequest response = response_request(request, shape);
  const horn::PatternRequest cut{FREQ, response.ARAD, response.SRAD};
  const float axis = horn::axis_level(cut);
  const rows::ResponseRow centre = rows::response_row(response, FREQ);
  PatternCut out;
  out.phase_centre = rows::from_inches(centre.PCTR * centre.WAVELR, request.IUNIT);
  // Unwrapped from the axis: each step adds the change of phase taken to -180..180.
  double previous = static_cast<double>(horn::pattern_point(cut, axis, 0.0f).PHASE);
  double unwrapped = 0;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const horn::PatternPoint p =
        horn::pattern_point(cut, axis, rows::row_value(k, range.start, range.step));
    unwrapped += std::remainder(static_cast<double>(p.PHASE) - previous, 360.0);
    previous = static_cast<double>(p.PHASE);
    const double cos_theta = std::cos(static_cast<double>(p.THETA) * std::numbers::pi / 180);
    out.points.push_back(p);
    out.phase_from_centre_deg.push_back(unwrapped -
                                        360.0 * static_cast<double>(centre.PCTR) * (1 - cos_theta));
  }
  return out;
}

std::string pattern_csv(const Request &request, const Horn &horn, float FREQ,
                        const PatternCut &cut) {
  auto pairs = csv::request_pairs(request, false, &horn);
  pairs.resize(3);
  pairs.emplace_back("freq_ghz", csv::shortest(FREQ));
  std::string out = csv::request_block(pairs) + csv::columns(csv::kColumns_pattern, request.IUNIT);
  for (const horn::PatternPoint &p : cut.points)
    out +=
        csv::shortest(p.THETA) + "," + csv::shortest(p.LEVEL) + "," + csv::shortest(p.PHASE) + "\n";
  return out;
}

} // namespace kelvor::web
