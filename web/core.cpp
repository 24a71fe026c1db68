#include "web/core.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

#include "dialogue/layouts.hpp"
#include "format/edit_fixed.hpp"
#include "format/layout.hpp"
#include "format/list_read.hpp"
#include "rows/row_count.hpp"

namespace kelvor::web {

namespace L = dialogue::layouts;
using format::Item;
using format::ItemKind;
using format::Layout;
using format::Value;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
// The unit in the CSV column names, by IUNIT.
constexpr std::array<std::string_view, 2> CSV_UNIT = {"cm", "in"};

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
// record's own field, blanks trimmed, so the two never differ in a digit.
template <std::size_t N>
void put_row(Block &block, Layout layout, const std::vector<Item> &fields,
             const std::array<float, N> &printed) {
  std::array<Value, N> values{};
  for (std::size_t i = 0; i < N; ++i)
    values[i] = format::real(printed[i]);
  write(block.records, layout, values);
  for (std::size_t i = 0; i < N && i < fields.size(); ++i) {
    const std::string text = format::edit_fixed(printed[i], fields[i].width, fields[i].decimals);
    const std::size_t begin = text.find_first_not_of(' ');
    if (i > 0)
      block.csv.push_back(',');
    if (begin != std::string::npos)
      block.csv.append(text, begin);
  }
  block.csv.push_back('\n');
}

// The rows of `range` in `layout`, each made from its row value by `make_row`.
template <class MakeRow> Block table_rows(Layout layout, const RowRange &range, MakeRow make_row) {
  const std::vector<Item> fields = fixed_fields(layout);
  Block block;
  for (std::int64_t k = range.first; k <= range.last; ++k)
    put_row(block, layout, fields, make_row(rows::row_value(k, range.start, range.step)).printed);
  return block;
}

std::string number_text(float v) {
  std::array<char, 32> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), "%.9g", static_cast<double>(v));
  return std::string(buffer.data(), static_cast<std::size_t>(n));
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

Block design_heading(const Request &request) {
  Block block;
  const std::array<Value, 3> heading = {format::real(request.FREQ), format::real(request.BWUSR),
                                        format::real(request.LEVUSR)};
  write(block.records, L::DESIGN_HEADING, heading);
  write(block.records, L::DESIGN_TABLE_HEADER);
  const std::string_view unit = CSV_UNIT[unit_slot(request)];
  block.csv = "S (cycles),Aperture Radius (" + std::string(unit) + "),Slant Radius (" +
              std::string(unit) + "),Gain (dB),Phase CTR. (" + std::string(unit) + ")\n";
  return block;
}

Block design_block(const Request &request, const RowRange &range) {
  const rows::DesignRequest design{request.FREQ, request.BWUSR, levels(request), request.IUNIT};
  return table_rows(L::DESIGN_ROW, range,
                    [&](float PHDEV) { return rows::design_row(design, PHDEV); });
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
  block.csv = "Frequency (GHz)";
  for (const float level : LEVCOL)
    block.csv += ",Beamwidth at " + number_text(level) + " dB (deg)";
  block.csv += ",Gain (dB),Phase CTR. (" + std::string(CSV_UNIT[unit_slot(request)]) + ")\n";
  return block;
}

Block response_block(const Request &request, const Horn &horn, const RowRange &range) {
  const rows::ResponseRequest response = response_request(request, horn);
  return table_rows(L::RESPONSE_ROW, range,
                    [&](float FRESP) { return rows::response_row(response, FRESP); });
}

std::vector<horn::PatternPoint> pattern(const Request &request, const Horn &shape, float FREQ,
                                        const RowRange &range) {
  const rows::ResponseRequest response = response_request(request, shape);
  const horn::PatternRequest cut{FREQ, response.ARAD, response.SRAD};
  const float axis = horn::axis_level(cut);
  std::vector<horn::PatternPoint> points;
  for (std::int64_t k = range.first; k <= range.last; ++k)
    points.push_back(horn::pattern_point(cut, axis, rows::row_value(k, range.start, range.step)));
  return points;
}

std::string pattern_csv(const std::vector<horn::PatternPoint> &points) {
  std::string csv = "Theta (deg),Level (dB),Phase (deg)\n";
  for (const horn::PatternPoint &p : points)
    csv += number_text(p.THETA) + "," + number_text(p.LEVEL) + "," + number_text(p.PHASE) + "\n";
  return csv;
}

} // namespace kelvor::web
