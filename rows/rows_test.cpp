#include "rows/rows.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvor::rows {
namespace {

// A designed horn, analysed at the design frequency, has the requested beamwidth
// at the user's level, in either unit and from any level index.
TEST(Rows, DesignedHornMeetsItsRequest) {
  struct Case {
    float FREQ, BWUSR, LEVUSR;
    std::int32_t KLEV, IUNIT;
    float PHDEV;
  } const cases[] = {
      {10, 30, 10, 3, INCHES, 0.1f}, {10, 30, 8, 3, CENTIMETRES, 0.1f},
      {4, 12, 3, 1, INCHES, 0.4f},   {20, 60, 15, 4, CENTIMETRES, 0.25f},
      {8, 25, 5, 2, INCHES, 0.6f},
  };
  for (const auto &c : cases) {
    const Levels levels = column_levels(c.LEVUSR, c.KLEV);
    const DesignRow d = design_row({c.FREQ, c.BWUSR, levels, c.IUNIT}, c.PHDEV);
    const ResponseRow r = response_row({d.ARAD, d.SRAD, levels, c.IUNIT}, c.FREQ);
    EXPECT_NEAR(r.BWCOL[static_cast<std::size_t>(c.KLEV - 1)], c.BWUSR, 0.01 * c.BWUSR)
        << c.FREQ << " GHz, " << c.LEVUSR << " dB";
    EXPECT_FLOAT_EQ(r.PHDEV, c.PHDEV);
    EXPECT_EQ(r.GAINDB, d.GAINDB);
    EXPECT_EQ(to_inches(d.printed[1], c.IUNIT), d.ARAD);
  }
}

TEST(Rows, BadLevelIndexOrUnitGivesNaN) {
  const DesignRow bad_level = design_row({10, 30, column_levels(8, 5), INCHES}, 0.1f);
  const ResponseRow no_level = response_row({2.6f, 28.9f, column_levels(8, 0), INCHES}, 10);
  const DesignRow bad_unit = design_row({10, 30, column_levels(10, 3), 3}, 0.1f);
  for (float v : bad_level.printed)
    EXPECT_TRUE(std::isnan(v));
  for (float v : no_level.printed)
    EXPECT_TRUE(std::isnan(v));
  EXPECT_TRUE(std::isnan(bad_unit.printed[1]));
  EXPECT_EQ(nominal_level_index(10), 3);
  EXPECT_EQ(nominal_level_index(8), 0);
}

} // namespace
} // namespace kelvor::rows
