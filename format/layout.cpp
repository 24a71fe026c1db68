// The layout walker: one pass over the items of a layout, taking the next value
// at every value field and handing each finished record to the sink.
//
// Choices for the cases that no layout of this system meets:
// - Aw with a text of another length than w: a longer text gives its leftmost w
//   characters, a shorter one is right-justified with leading blanks.
// - A value of the wrong kind for its field (a text for Fw.d, a real for Aw) is
//   consumed and its field filled with w asterisks, the same sign of trouble as a
//   number that does not fit.
// - A field of width zero or less writes nothing but still takes its value; an
//   Fw.d field of unsupported width or decimals shows asterisks (edit_fixed).
// - Values beyond the last value field are ignored: the walk ends at the end of
//   the layout.
// - A group repeated zero times or fewer is skipped. Groups nest up to
//   kMaxGroupDepth; a group deeper than that is taken once. A group_end without
//   its group_begin is ignored, and a layout that stops without an end item (or
//   inside an open group) ends as if an end item followed.
#include "format/layout.hpp"

#include "format/edit_fixed.hpp"

#include <array>
#include <cstddef>
#include <string>

namespace kelvor::format {

namespace {

constexpr int kMaxGroupDepth = 8;

// Index just after the group_end that closes the group opened at `begin`, or
// layout.size() when it is never closed.
std::size_t after_group(Layout layout, std::size_t begin) {
  int depth = 0;
  for (std::size_t i = begin; i < layout.size(); ++i) {
    if (layout[i].kind == ItemKind::group_begin)
      ++depth;
    else if (layout[i].kind == ItemKind::group_end && --depth == 0)
      return i + 1;
  }
  return layout.size();
}

void put_field(std::string &record, const Item &item, const Value *value) {
  if (item.width <= 0)
    return;
  const std::size_t w = static_cast<std::size_t>(item.width);
  const std::size_t at = record.size();
  record.resize(at + w, ' ');
  char *out = record.data() + at;
  if (item.kind == ItemKind::fixed) {
    if (value->is_text)
      record.replace(at, w, w, '*');
    else
      edit_fixed(value->real, item.width, item.decimals, out);
    return;
  }
  if (!value->is_text) {
    record.replace(at, w, w, '*');
    return;
  }
  const std::string_view t = value->text;
  if (t.size() >= w)
    record.replace(at, w, t.substr(0, w));
  else
    record.replace(at + (w - t.size()), t.size(), t);
}

} // namespace

void write_layout(Layout layout, std::span<const Value> values, RecordSink &sink,
                  std::string &record) {
  struct Open {
    std::size_t first; // index of the first item inside the group
    int left;          // passes still to take after the current one
  };
  std::array<Open, kMaxGroupDepth> stack{};
  int depth = 0;
  int untracked = 0; // groups opened beyond kMaxGroupDepth, each taken once

  bool advance = true;
  std::size_t next_value = 0;
  record.clear();

  bool done = false;
  std::size_t i = 0;
  while (!done && i < layout.size()) {
    const Item &item = layout[i];
    switch (item.kind) {
      case ItemKind::literal:
        record.append(item.text);
        break;
      case ItemKind::blanks:
        if (item.count > 0)
          record.append(static_cast<std::size_t>(item.count), ' ');
        break;
      case ItemKind::fixed:
      case ItemKind::chars:
        if (next_value == values.size()) // values used up: stop at this field
          done = true;
        else
          put_field(record, item, &values[next_value++]);
        break;
      case ItemKind::record_break:
        sink.put_record(record, advance);
        record.clear();
        advance = true;
        break;
      case ItemKind::no_advance:
        advance = false;
        break;
      case ItemKind::group_begin:
        if (item.count <= 0) {
          i = after_group(layout, i);
          continue;
        }
        if (depth < kMaxGroupDepth)
          stack[static_cast<std::size_t>(depth++)] = {i + 1, item.count - 1};
        else
          ++untracked;
        break;
      case ItemKind::group_end:
        if (untracked > 0) {
          --untracked;
        } else if (depth > 0) {
          Open &g = stack[static_cast<std::size_t>(depth - 1)];
          if (g.left > 0) {
            --g.left;
            i = g.first;
            continue;
          }
          --depth;
        }
        break;
      case ItemKind::end:
        done = true;
        break;
    }
    ++i;
  }
  sink.put_record(record, advance);
}

void write_layout(Layout layout, std::span<const Value> values, RecordSink &sink) {
  std::string record;
  write_layout(layout, values, sink, record);
}

} // namespace kelvor::format
