#include "rows/row_count.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace kelvor::rows {
namespace {

TEST(RowCount, RoundsTheRatioWithItsBreakAtSixTenths) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char *label;
    float start, stop, step;
    std::int32_t rows;
  } const cases[] = {
      {"0 to 1 by 0.1", 0.0f, 1.0f, 0.1f, 11},
      {"0.1 to 0.5 by 0.1", 0.1f, 0.5f, 0.1f, 5},
      {"0 to 0.5 by 0.2", 0.0f, 0.5f, 0.2f, 3},
      {"0 to 0.55 by 0.2", 0.0f, 0.55f, 0.2f, 4},
      {"stop below start", 1.0f, 0.0f, 0.1f, -8},
      {"single point", 0.1f, 0.1f, 0.1f, 1},
      {"zero range", 0.0f, 0.0f, 0.1f, 1},
      {"9 to 11 by 1", 9.0f, 11.0f, 1.0f, 3},
      {"stop - start not rounded to float", 0.2f, 0.8f, 1.0f, 1},
      {"counting down", 1.0f, 0.0f, -0.25f, 5},
      {"wrong side by under 0.4 step", 0.0f, -0.03f, 0.1f, 1},
      {"wrong side by over 0.4 step", 0.0f, -0.05f, 0.1f, 0},
      {"ten million rows", 1.0f, 100.0f, 1e-5f, 9900001},
      {"beyond 32 bits", 0.0f, 1e10f, 1.0f, 0},
      {"far below", 0.0f, -1e10f, 1.0f, 0},
      {"zero step", 0.0f, 1.0f, 0.0f, 0},
      {"infinite stop", 0.0f, inf, 1.0f, 0},
      {"not a number", 0.0f, nan, 1.0f, 0},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(row_count(c.start, c.stop, c.step), c.rows) << c.label;
    const std::vector<float> values = sweep(c.start, c.stop, c.step);
    EXPECT_EQ(values.size(), static_cast<std::size_t>(std::max(c.rows, 0))) << c.label;
    EXPECT_TRUE(values.empty() || values.back() == row_value(c.rows, c.start, c.step)) << c.label;
  }
}

} // namespace
} // namespace kelvor::rows
