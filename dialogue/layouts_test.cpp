#include "dialogue/layouts.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvor::dialogue {
namespace {

using namespace format;
namespace L = layouts;

struct Record {
  std::string text;
  bool advance;
  bool operator==(const Record &) const = default;
};

struct Collect final : RecordSink {
  std::vector<Record> records;
  void put_record(std::string_view t, bool advance) override {
    records.push_back({std::string(t), advance});
  }
};

std::vector<Record> walk(Layout layout, std::vector<Value> values) {
  Collect c;
  write_layout(layout, values, c);
  return c.records;
}

const Record noadv(std::string t) {
  return {std::move(t), false};
}
const Record line(std::string t) {
  return {std::move(t), true};
}

TEST(Layouts, EveryLayoutWritesItsExactColumns) {
  struct Case {
    const char *label;
    Layout layout;
    std::vector<Value> values;
    std::vector<Record> expected;
  };
  const std::vector<Case> cases = {
      {"banner", L::BANNER, {}, {line(" Conical Corrugated Horn Designed to Beamwidth")}},
      {"file name prompt", L::FILE_NAME_PROMPT, {}, {noadv(" Enter output file ")}},
      {"unit prompt", L::UNIT_PROMPT, {}, {noadv(" Enter units: 1 cm, 2 inches ")}},
      {"design prompt",
       L::DESIGN_PROMPT,
       {},
       {noadv(" Enter Frequency (GHz), Beamwidth (0 terminates) ")}},
      {"level prompt", L::LEVEL_PROMPT, {}, {noadv(" Enter Pattern Level (dB) at Beamwidth ")}},
      {"report title", L::REPORT_TITLE, {}, {line(""), line("     KELVOR ")}},
      {"credit", L::CREDIT, {}, {line("     Code: Pellimondrakes")}},
      {"design heading",
       L::DESIGN_HEADING,
       {real(10.0f), real(30.0f), real(10.0f)},
       {line(""), line(""), line(" Conical Corrugated Horn Designed to Beamwidth"), line(""),
        line(" Frequency(GHz) =  10.000"), line(" Design Beamwidth =   30.00  @ Level   10.0")}},
      {"level choice",
       L::LEVEL_CHOICE_PROMPT,
       {real(3.0f), real(6.0f), real(10.0f), real(20.0f)},
       {line(" Enter Beamwidth Level to Derive Given Level"),
        noadv(" (1)  3.0 ,(2)  6.0 ,(3) 10.0 ,(4) 20.0 ")}},
      {"phase deviation prompt",
       L::PHASE_DEVIATION_PROMPT,
       {},
       {line(" Enter Max Aperture Phase Deviation (Cycles: 0 TO 1)"),
        noadv("           Start,Stop,Step (0 terminates) ")}},
      {"design table header",
       L::DESIGN_TABLE_HEADER,
       {},
       {line(""), line("   S    Aperture Radius  Slant Radius     Gain  Phase CTR."), line("")}},
      {"design row",
       L::DESIGN_ROW,
       {real(0.1f), real(2.6118f), real(28.8985f), real(21.17f), real(0.939f)},
       {line(" 0.100        2.6118        28.8985      21.17    0.939")}},
      {"design row, zero phase deviation",
       L::DESIGN_ROW,
       {real(0.0f), real(2.0f), real(std::numeric_limits<float>::infinity()), real(18.94f),
        real(0.0f)},
       {line(" 0.000        2.0000       Infinity      18.94    0.000")}},
      {"design row, slant radius too wide",
       L::DESIGN_ROW,
       {real(0.01f), real(2.0f), real(1000.0f), real(18.94f), real(-0.5f)},
       {line(" 0.010        2.0000       ********      18.94   -0.500")}},
      {"horn prompt",
       L::HORN_PROMPT,
       {},
       {line(" Frequency Response"), noadv(" Enter Aperture, Slant Radius (0 terminates) ")}},
      {"frequency range prompt",
       L::FREQUENCY_RANGE_PROMPT,
       {},
       {noadv(" Enter Frequency (GHz)  Start,Stop,Step (0 terminates) ")}},
      {"horn heading",
       L::HORN_HEADING,
       {real(5.08f), text(" cm "), real(73.4023f)},
       {line(""), line(" Frequency Response"), line(""),
        line(" Aperture Radius:    5.080 cm      Slant Radius:   73.402"), line("")}},
      {"response table header, user level 8 dB",
       L::RESPONSE_TABLE_HEADER,
       {real(3.0f), real(6.0f), real(8.0f), real(20.0f)},
       {line(""), line("                     Beamwidths"),
        line(" Frequency   3. dB   6. dB   8. dB  20. dB   Gain  Phase CTR."), line("")}},
      {"response table header, halfway level",
       L::RESPONSE_TABLE_HEADER,
       {real(3.0f), real(6.0f), real(12.5f), real(20.0f)},
       {line(""), line("                     Beamwidths"),
        line(" Frequency   3. dB   6. dB  12. dB  20. dB   Gain  Phase CTR."), line("")}},
      {"response row",
       L::RESPONSE_ROW,
       {real(10.0f), real(17.1f), real(23.8f), real(30.0f), real(40.0f), real(21.17f),
        real(0.939f)},
       {line("  10.0000    17.1    23.8    30.0    40.0    21.17    0.939")}},
      {"response row, level missed",
       L::RESPONSE_ROW,
       {real(1.0f), real(-180.0f), real(-180.0f), real(-1000.0f), real(-180.0f), real(-5.5f),
        real(-0.25f)},
       {line("   1.0000  -180.0  -180.0  ******  -180.0    -5.50   -0.250")}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(walk(c.layout, c.values), c.expected) << c.label;
}

// The file name is read as one field of 70 characters.
TEST(Layouts, FileNameInputIsOneFieldOfSeventy) {
  ASSERT_EQ(std::size(L::FILE_NAME_INPUT), 2u);
  EXPECT_EQ(L::FILE_NAME_INPUT[0].kind, ItemKind::chars);
  EXPECT_EQ(L::FILE_NAME_INPUT[0].width, 70);
}

} // namespace
} // namespace kelvor::dialogue
