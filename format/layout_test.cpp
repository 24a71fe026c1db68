#include "format/layout.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace kelvor::format;

// Collects the records of a write as text, a trailing '$' marking a record
// written without a line end.
struct Collect final : RecordSink {
  std::vector<std::string> records;
  void put_record(std::string_view text, bool advance) override {
    records.emplace_back(text);
    if (!advance)
      records.back() += '$';
  }
};

std::vector<std::string> write(std::initializer_list<Item> layout,
                               std::initializer_list<Value> values = {}) {
  Collect sink;
  write_layout(Layout(layout.begin(), layout.size()),
               std::span<const Value>(values.begin(), values.size()), sink);
  return sink.records;
}

using Records = std::vector<std::string>;

TEST(WriteLayout, RecordBreaks) {
  EXPECT_EQ(write({lit(" A"), end_of_layout()}), Records{" A"});
  EXPECT_EQ(write({slash(), nx(4), lit(" KELVOR "), end_of_layout()}),
            (Records{"", "     KELVOR "}));
  EXPECT_EQ(write({lit("a"), slash(), slash(), lit("b"), end_of_layout()}),
            (Records{"a", "", "b"}));
  EXPECT_EQ(write({lit("a"), slash(), end_of_layout()}), (Records{"a", ""}));
  EXPECT_EQ(write({end_of_layout()}), Records{""});
  EXPECT_EQ(write({}), Records{""}) << "no end item: ends as if one followed";
  EXPECT_EQ(write({lit("a"), end_of_layout(), lit("never")}), Records{"a"});
}

TEST(WriteLayout, NoAdvanceMarksItsRecordOnly) {
  EXPECT_EQ(write({lit(" Enter output file "), no_advance(), end_of_layout()}),
            Records{" Enter output file $"});
  EXPECT_EQ(
      write({lit(" Frequency Response"), slash(), lit(" Enter "), no_advance(), end_of_layout()}),
      (Records{" Frequency Response", " Enter $"}));
  EXPECT_EQ(write({lit("p"), no_advance(), slash(), lit("q"), end_of_layout()}),
            (Records{"p$", "q"}));
}

TEST(WriteLayout, Fields) {
  EXPECT_EQ(
      write({lit(" Design Beamwidth = "), fw(7, 2), lit("  @ Level "), fw(6, 1), end_of_layout()},
            {real(30.0f), real(10.0f)}),
      Records{" Design Beamwidth =   30.00  @ Level   10.0"});
  // Aw: exact length unchanged, longer cut to its leftmost w, shorter right-justified.
  EXPECT_EQ(write({lit("|"), aw(4), lit("|"), aw(4), lit("|"), aw(4), lit("|"), end_of_layout()},
                  {text(" in."), text("inches"), text("cm")}),
            Records{"| in.|inch|  cm|"});
  // A value of the wrong kind shows asterisks; the walk goes on.
  EXPECT_EQ(write({fw(5, 1), lit("|"), aw(3), lit("|"), end_of_layout()}, {text("x"), real(1.0f)}),
            Records{"*****|***|"});
  EXPECT_EQ(write({lit("<"), fw(0, 0), aw(-2), lit(">"), fw(70, 2), end_of_layout()},
                  {real(1.0f), text("a"), real(2.0f)}),
            Records{"<>" + std::string(70, '*')});
}

TEST(WriteLayout, StopsAtFirstFieldWithoutValue) {
  const std::initializer_list<Item> row = {lit("["), fw(5, 1), lit("]"), slash(),
                                           lit("("), fw(5, 1), lit(")"), end_of_layout()};
  EXPECT_EQ(write(row, {real(1.0f), real(2.0f)}), (Records{"[  1.0]", "(  2.0)"}));
  EXPECT_EQ(write(row, {real(1.0f)}), (Records{"[  1.0]", "("}));
  EXPECT_EQ(write(row), Records{"["});
  EXPECT_EQ(write(row, {real(1.0f), real(2.0f), real(3.0f)}), (Records{"[  1.0]", "(  2.0)"}))
      << "values beyond the last field are ignored";
}

TEST(WriteLayout, RepeatedGroups) {
  // The response table header: the literal after the group is written after the
  // last value.
  EXPECT_EQ(
      write({slash(), nx(20), lit(" Beamwidths"), slash(), lit(" Frequency"), group(4), fw(5, 0),
             lit(" dB"), group_end(), lit("   Gain  Phase CTR."), slash(), end_of_layout()},
            {real(3.0f), real(6.0f), real(10.0f), real(12.5f)}),
      (Records{"", "                     Beamwidths",
               " Frequency   3. dB   6. dB  10. dB  12. dB   Gain  Phase CTR.", ""}));
  // Fewer values than the group wants: stops at the first unfed field.
  EXPECT_EQ(
      write({group(3), lit("<"), fw(2, 0), lit(">"), group_end(), lit("tail"), end_of_layout()},
            {real(1.0f)}),
      Records{"<1.><"});
  // Nested groups, and a group taken zero times.
  EXPECT_EQ(write({group(2), lit("a"), group(3), lit("b"), group_end(), lit("c"), group_end(),
                   group(0), fw(3, 0), group_end(), lit("d"), end_of_layout()}),
            Records{"abbbcabbbcd"});
  // Nesting deeper than the walker tracks: the deepest groups are taken once.
  EXPECT_EQ(write({group(2),    group(2),    group(2),    group(2),    group(2),
                   group(2),    group(2),    group(2),    group(2),    lit("x"),
                   group_end(), group_end(), group_end(), group_end(), group_end(),
                   group_end(), group_end(), group_end(), group_end(), end_of_layout()}),
            Records{std::string(256, 'x')});
  // Unbalanced groups are harmless.
  EXPECT_EQ(write({group_end(), lit("a"), group(2), lit("b"), end_of_layout()}), Records{"ab"});
}

// A sink that writes another layout from inside put_record gets correct records
// for both writes.
struct Nested final : RecordSink {
  std::vector<std::string> outer;
  Collect inner;
  void put_record(std::string_view t, bool) override {
    const Item layout[] = {lit("inner"), end_of_layout()};
    write_layout(layout, {}, inner);
    outer.emplace_back(t);
  }
};

TEST(WriteLayout, ReentrantSink) {
  Nested sink;
  const Item layout[] = {lit("one"), slash(), lit("two"), end_of_layout()};
  write_layout(layout, {}, sink);
  EXPECT_EQ(sink.outer, (Records{"one", "two"}));
  EXPECT_EQ(sink.inner.records, (Records{"inner", "inner"}));
}

} // namespace
