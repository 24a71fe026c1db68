// Record layouts: a layout is a constant list of items that one write walks in
// order, taking the next value of the write's value list at every value field.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kelvor::format {

enum class ItemKind : std::uint8_t {
  literal,      // text written unchanged, leading and trailing blanks included
  blanks,       // nX: `count` blanks
  fixed,        // Fw.d: the next real value, `width` positions, `decimals` decimals
  chars,        // Aw: the next text value in `width` positions
  record_break, // slash: ends the current record and starts a new one
  no_advance,   // the record in which it stands is written without a line end
  group_begin,  // r( : the items up to the matching group_end are taken `count` times
  group_end,    // )
  end,          // end of layout: ends the last record
};

struct Item {
  ItemKind kind;
  std::string_view text{};
  int count = 0;
  int width = 0;
  int decimals = 0;
};

constexpr Item lit(std::string_view text) {
  return {ItemKind::literal, text};
}
constexpr Item nx(int n) {
  return {ItemKind::blanks, {}, n};
}
constexpr Item fw(int w, int d) {
  return {ItemKind::fixed, {}, 0, w, d};
}
constexpr Item aw(int w) {
  return {ItemKind::chars, {}, 0, w};
}
constexpr Item slash() {
  return {ItemKind::record_break};
}
constexpr Item no_advance() {
  return {ItemKind::no_advance};
}
constexpr Item group(int r) {
  return {ItemKind::group_begin, {}, r};
}
constexpr Item group_end() {
  return {ItemKind::group_end};
}
constexpr Item end_of_layout() {
  return {ItemKind::end};
}

using Layout = std::span<const Item>;

// One value of a write: a single-precision real for an Fw.d field, a text for an
// Aw field.
struct Value {
  float real = 0.0f;
  std::string_view text{};
  bool is_text = false;
};

constexpr Value real(float v) {
  return {v, {}, false};
}
constexpr Value text(std::string_view t) {
  return {0.0f, t, true};
}

// Receives the records of one write. `text` is the whole record, first character
// included; `advance` is false for a record that holds a no-advance marker.
class RecordSink {
public:
  virtual void put_record(std::string_view text, bool advance) = 0;

protected:
  ~RecordSink() = default;
};

// Walks `layout` with `values` and hands every record to `sink`. When the values
// are used up the walk goes on through literals, blanks and record breaks up to
// the next value field or the end of the layout, and stops there. Each record is
// built in `record`, which a caller that writes often keeps between writes so
// that a steady run of writes does not allocate; the second form builds it in a
// string of its own.
void write_layout(Layout layout, std::span<const Value> values, RecordSink &sink,
                  std::string &record);
void write_layout(Layout layout, std::span<const Value> values, RecordSink &sink);

} // namespace kelvor::format
