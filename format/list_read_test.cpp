#include "format/list_read.hpp"
#include "tests/support/list_read_reference.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using kelvor::format::ListItem;
using kelvor::format::read_list;
using kelvor::format::ReadError;
using kelvor::test::LineSource;

struct Lines final : LineSource {
  std::vector<std::string> lines;
  std::size_t used = 0;
  explicit Lines(std::vector<std::string> l) : lines(std::move(l)) {}
  bool next_line(std::string_view &line) override {
    if (used == lines.size())
      return false;
    line = lines[used++];
    return true;
  }
};

// One read. `kinds` has one letter per item, 'r' real or 'i' integer; every item
// starts at 99 so that untouched items show.
struct Outcome {
  ReadError error;
  std::vector<double> values;
  std::size_t lines_used;
};

Outcome read(Lines &src, const std::string &kinds) {
  std::vector<float> reals(kinds.size(), 99.0f);
  std::vector<std::int32_t> ints(kinds.size(), 99);
  std::vector<ListItem> items;
  for (std::size_t k = 0; k < kinds.size(); ++k)
    items.push_back(kinds[k] == 'r' ? ListItem{&reals[k], nullptr} : ListItem{nullptr, &ints[k]});
  Outcome o{read_list(src, items), {}, 0};
  for (std::size_t k = 0; k < kinds.size(); ++k)
    o.values.push_back(kinds[k] == 'r' ? static_cast<double>(reals[k]) : ints[k]);
  o.lines_used = src.used;
  return o;
}

const char *name(ReadError e) {
  switch (e) {
    case ReadError::none:
      return "none";
    case ReadError::syntax:
      return "syntax";
    case ReadError::conversion:
      return "conversion";
    case ReadError::end_of_input:
      return "end_of_input";
  }
  return "?";
}

constexpr auto None = ReadError::none;
constexpr auto Syntax = ReadError::syntax;
constexpr auto Conversion = ReadError::conversion;
constexpr auto Eof = ReadError::end_of_input;

struct Case {
  const char *label;
  std::vector<std::string> lines;
  std::string kinds;
  ReadError error;
  std::vector<double> values; // as the items hold them after the read
  std::size_t lines_used;
};

double f(double v) {
  return static_cast<double>(static_cast<float>(v));
}
const double kDenormal = static_cast<double>(std::numeric_limits<float>::denorm_min());

TEST(ReadList, Table) {
  const Case cases[] = {
      // Separators.
      {"comma", {"3,4"}, "rr", None, {3, 4}, 1},
      {"blank", {"3 4"}, "rr", None, {3, 4}, 1},
      {"comma with blanks", {"3 , 4"}, "rr", None, {3, 4}, 1},
      {"tabs", {"\t3\t\t4\t"}, "rr", None, {3, 4}, 1},
      {"line end", {"3", "4"}, "rr", None, {3, 4}, 2},
      {"comma at line end", {"3,", "4"}, "rr", None, {3, 4}, 2},
      {"empty and blank lines skipped", {"", "   ", "3", "", "4"}, "rr", None, {3, 4}, 5},
      {"stray CR is a blank", {"3\r4\r"}, "rr", None, {3, 4}, 1},
      {"rest of line ignored", {"1 2 3 4", "5"}, "rr", None, {1, 2}, 1},
      {"garbage after the last value ignored", {"1,2 zz'"}, "rr", None, {1, 2}, 1},
      // Slash and nulls.
      {"slash", {"5 /"}, "rr", None, {5, 99}, 1},
      {"slash after value", {"5/", "6"}, "rr", None, {5, 99}, 1},
      {"slash at once", {"/"}, "ri", None, {99, 99}, 1},
      {"leading comma", {",7"}, "rr", None, {99, 7}, 1},
      {"two commas", {"1,,3"}, "rrr", None, {1, 99, 3}, 1},
      {"commas with blanks", {"1 , , 3"}, "rrr", None, {1, 99, 3}, 1},
      {"comma on the next line", {"1,", ",3"}, "rrr", None, {1, 99, 3}, 2},
      {"only commas", {",,"}, "rr", None, {99, 99}, 1},
      // Repeat counts.
      {"repeat", {"2*1.5"}, "rr", None, {1.5, 1.5}, 1},
      {"repeat per item kind", {"2*2.9"}, "ri", None, {f(2.9), 2}, 1},
      {"repeat nulls", {"3*"}, "rrr", None, {99, 99, 99}, 1},
      {"repeat nulls then value", {"2*,5"}, "rrr", None, {99, 99, 5}, 1},
      {"repeat beyond the items", {"5*7", "8"}, "rr", None, {7, 7}, 1},
      {"repeat of a logical", {"2*t"}, "ir", None, {-1, -1}, 1},
      {"zero repeat", {"0*1"}, "r", Syntax, {99}, 1},
      {"signed repeat", {"+2*1"}, "r", Syntax, {99}, 1},
      {"repeat of a repeat", {"2*3*1"}, "r", Syntax, {99}, 1},
      {"star alone", {"*"}, "r", Syntax, {99}, 1},
      // Number forms.
      {"forms",
       {"1 1. .5 1e3 1D3 +2.5E-01 -3q1 7d+0"},
       "rrrrrrrr",
       None,
       {1, 1, .5, 1000, 1000, .25, -30, 7},
       1},
      {"nearest float",
       {"0.1 16777217 3.4028235e38"},
       "rrr",
       None,
       {f(0.1), 16777216, f(3.4028235e38)},
       1},
      {"long mantissa", {"0." + std::string(900, '0') + "1e901"}, "r", None, {1}, 1},
      {"halfway between denormals, 106 digits, to even",
       {"3.50324616081204267730932395822479032820065485469128942939267"
        "0709724477706714651503716595470905303955078125e-45"},
       "r",
       None,
       {2 * kDenormal},
       1},
      {"underflow", {"1e-50 -1e-50 1e-45 1e-99999999999"}, "rrrr", None, {0, 0, kDenormal, 0}, 1},
      {"negative zero", {"-0.0"}, "r", None, {0}, 1},
      // Integers.
      {"integer", {"42 -7 +0"}, "iii", None, {42, -7, 0}, 1},
      {"truncation", {"2.9 -2.9 1e1 0.9e0"}, "iiii", None, {2, -2, 10, 0}, 1},
      {"int32 limits", {"2147483647 -2147483648"}, "ii", None, {2147483647, -2147483648.0}, 1},
      {"truncated limits",
       {"2147483647.9 -2147483648.9"},
       "ii",
       None,
       {2147483647, -2147483648.0},
       1},
      {"above int32", {"2147483648"}, "i", Conversion, {99}, 1},
      {"below int32", {"-2147483649"}, "i", Conversion, {99}, 1},
      {"far above int32", {"99999999999999999999999"}, "i", Conversion, {99}, 1},
      {"real above int32", {"2.2e9"}, "i", Conversion, {99}, 1},
      {"beyond double", {"1e400"}, "i", Conversion, {99}, 1},
      // Logical values.
      {"logical", {"t f T F"}, "rrii", None, {-1, 0, -1, 0}, 1},
      {"logical words", {".TRUE. .false. Tx.y .t"}, "irir", None, {-1, 0, -1, -1}, 1},
      {"logical ends at separator", {"T/x"}, "rr", None, {-1, 99}, 1},
      // Syntax errors.
      {"two points", {"1.2.3"}, "r", Syntax, {99}, 1},
      {"letters", {"abc"}, "r", Syntax, {99}, 1},
      {"two signs", {"+-1"}, "r", Syntax, {99}, 1},
      {"exponent first", {"e5"}, "r", Syntax, {99}, 1},
      {"sign after digit", {"1-2"}, "r", Syntax, {99}, 1},
      {"empty exponent", {"1e"}, "r", Syntax, {99}, 1},
      {"signed empty exponent", {"1.e+"}, "r", Syntax, {99}, 1},
      {"point after exponent", {"1e5."}, "r", Syntax, {99}, 1},
      {"two exponents", {"1e5e5"}, "r", Syntax, {99}, 1},
      {"quote", {"'3'"}, "r", Syntax, {99}, 1},
      {"point alone", {"."}, "r", Syntax, {99}, 1},
      {"sign alone", {"-"}, "i", Syntax, {99}, 1},
      {"signed logical", {"-T"}, "r", Syntax, {99}, 1},
      {"words", {"Infinity NaN"}, "r", Syntax, {99}, 1},
      {"semicolon", {"1;2"}, "r", Syntax, {99}, 1},
      {"error in a later value", {"1", "2x"}, "rr", Syntax, {1, 99}, 2},
      // Conversion errors.
      {"real overflow", {"1e39"}, "r", Conversion, {99}, 1},
      {"just above float max", {"3.4028236e38"}, "r", Conversion, {99}, 1},
      {"huge exponent", {"-1e99999999999"}, "r", Conversion, {99}, 1},
      // End of input.
      {"no line", {}, "r", Eof, {99}, 0},
      {"ends mid read", {"5"}, "rr", Eof, {5, 99}, 1},
      {"only blank lines", {"", " "}, "r", Eof, {99}, 2},
      {"trailing comma then end", {"5,"}, "rr", Eof, {5, 99}, 1},
      // A read of no items still takes its line.
      {"no items", {"anything", "next"}, "", None, {}, 1},
  };
  for (const Case &c : cases) {
    Lines src(c.lines);
    const Outcome o = read(src, c.kinds);
    EXPECT_EQ(name(o.error), name(c.error)) << c.label;
    EXPECT_EQ(o.values, c.values) << c.label;
    EXPECT_EQ(o.lines_used, c.lines_used) << c.label;
  }
}

TEST(ReadList, NextReadStartsOnNewLine) {
  Lines src({"1 2 3 4", "5,6", "7"});
  EXPECT_EQ(read(src, "rr").values, (std::vector<double>{1, 2}));
  EXPECT_EQ(read(src, "r").values, (std::vector<double>{5}));
  EXPECT_EQ(read(src, "ii").values, (std::vector<double>{7, 99}));
}

TEST(ReadList, MatchesPlainReference) {
  std::mt19937 rng(7);
  const auto pick = [&](unsigned n) { return static_cast<unsigned>(rng() % n); };
  const auto digits = [&](unsigned max) {
    std::string s;
    for (unsigned k = 1 + pick(max); k > 0; --k)
      s += static_cast<char>('0' + pick(10));
    return s;
  };
  const char *signs[] = {"", "", "+", "-"};
  const char *letters = "EeDdQq";
  const char *separators[] = {",", " ", "  ", " , ", "\t", ", "};
  const char *alphabet = "0123456789.+-eEdD";

  for (int trial = 0; trial < 20000; ++trial) {
    std::vector<std::string> lines(1 + pick(3));
    for (std::string &line : lines) {
      if (pick(8) == 0)
        continue; // an empty line
      for (unsigned t = pick(4) + 1; t > 0; --t) {
        std::string w;
        switch (pick(4)) {
          case 0: // integer
            w = signs[pick(4)] + digits(11);
            break;
          case 1: // decimal
            w = signs[pick(4)] + (pick(4) ? digits(6) : "") + "." + digits(8);
            break;
          case 2: // with exponent
            w = signs[pick(4)] + digits(9) + (pick(2) ? "." + digits(3) : "") + letters[pick(6)] +
                signs[pick(4)] + digits(2);
            break;
          default: // a short word that may or may not be a number
            for (unsigned k = 1 + pick(5); k > 0; --k)
              w += alphabet[pick(17)];
        }
        line += w;
        line += t > 1 ? separators[pick(6)] : (pick(3) ? "" : ",");
      }
    }
    std::string kinds;
    for (unsigned k = pick(6); k > 0; --k)
      kinds += pick(2) ? 'r' : 'i';

    Lines src(lines);
    const Outcome got = read(src, kinds);
    Lines again(lines);
    const auto want = kelvor::test::reference_read(again, kinds);
    std::string shown;
    for (const std::string &l : lines)
      shown += "[" + l + "]";
    ASSERT_TRUE(want) << shown;
    ASSERT_EQ(name(got.error), name(want->error)) << shown << " kinds " << kinds;
    if (want->error != ReadError::none)
      continue; // which items an error leaves behind is not the point here
    ASSERT_EQ(got.values, want->values) << shown << " kinds " << kinds;
    ASSERT_EQ(got.lines_used, want->lines) << shown << " kinds " << kinds;
  }
}

} // namespace
