#include "format/carriage_control.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelvor::format {
namespace {

struct Rec {
  std::string_view text;
  bool advance;
};

std::string show(const std::vector<Rec> &records, bool finish = true) {
  std::string out;
  bool pending = false;
  for (const auto &r : records)
    append_console_record(out, pending, r.text, r.advance);
  if (finish)
    finish_console(out, pending);
  return out;
}

TEST(CarriageControl, FirstCharacterChoosesTheSpacing) {
  struct Case {
    const char *label;
    std::vector<Rec> records;
    std::string shown;
  } const cases[] = {
      {"blank starts a line, first record on the cursor's line",
       {{" one", true}, {" two", true}},
       "one\ntwo\n"},
      {"zero leaves an empty line", {{" one", true}, {"0two", true}}, "one\n\ntwo\n"},
      {"one feeds a form", {{" one", true}, {"1two", true}}, "one\n\ftwo\n"},
      {"plus overwrites the line", {{" one", true}, {"+two", true}}, "one\rtwo\n"},
      {"a minus sign is lost like any other first character",
       {{" S", true}, {"-0.500 row", true}},
       "S\n0.500 row\n"},
      {"empty records are empty lines", {{"", true}, {" head", true}, {"", true}}, "\nhead\n\n"},
      {"a prompt owes no line end",
       {{" Enter units ", false}, {" next", true}},
       "Enter units next\n"},
      {"a two-record prompt", {{" first", true}, {" second ", false}}, "first\nsecond "},
      {"other characters act as blank", {{"$dollar", true}, {"Xx", true}}, "dollar\nx\n"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(show(c.records), c.shown) << c.label;
}

// The owed line end is written when the next record begins or at the end, never
// at the end of its own record.
TEST(CarriageControl, LineEndIsOwedUntilTheNextRecord) {
  EXPECT_EQ(show({{" row", true}}, false), "row");
  EXPECT_EQ(show({{" row", true}}, true), "row\n");
  EXPECT_EQ(show({{" prompt ", false}}, true), "prompt ");
}

} // namespace
} // namespace kelvor::format
