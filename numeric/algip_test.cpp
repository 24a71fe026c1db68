#include "numeric/algip.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace kelvor::numeric {
namespace {

TEST(ALGIP, DegenerateCounts) {
  const std::array<float, 1> x = {2.0f};
  const std::array<float, 1> y = {7.5f};
  for (const int n : {0, -1, -100})
    EXPECT_EQ(ALGIP(3.0f, x.data(), y.data(), n), 0.0f) << n;
  for (const float at : {-1e6f, 0.0f, 2.0f, 9.0f}) {
    const int one = 1;
    EXPECT_EQ(ALGIP(at, x.data(), y.data(), one), 7.5f) << at;
  }
}

TEST(ALGIP, QuadraticThroughThreePoints) {
  // The points of x^2 + 1, in and out of order.
  const std::array<float, 3> x = {0.0f, 1.0f, 2.0f};
  const std::array<float, 3> y = {1.0f, 2.0f, 5.0f};
  const std::array<float, 3> xs = {2.0f, 0.0f, 1.0f};
  const std::array<float, 3> ys = {5.0f, 1.0f, 2.0f};
  const int n = 3;
  struct Case {
    float at, want;
  };
  for (const Case c :
       {Case{0.5f, 1.25f}, Case{3.0f, 10.0f}, Case{-2.0f, 5.0f}, Case{1.5f, 3.25f}}) {
    EXPECT_EQ(ALGIP(c.at, x.data(), y.data(), n), c.want) << c.at;
    EXPECT_EQ(ALGIP(c.at, xs.data(), ys.data(), n), c.want) << c.at;
  }
}

TEST(ALGIP, ExactAtNodes) {
  const std::array<float, 5> x = {0.1f, 0.37f, 0.5f, 0.93f, 1.7f};
  const std::array<float, 5> y = {3.3f, -1.25f, 0.77f, 12.5f, 2.0f};
  const int n = 5;
  for (std::size_t k = 0; k < x.size(); ++k)
    EXPECT_EQ(ALGIP(x[k], x.data(), y.data(), n), y[k]) << k;
}

// A cubic table on each grid, so that every stencil gives a different quadratic: the lookup is
// right only if it picks the documented three entries.
struct Grid {
  const char *label;
  float step, offset;
  int entries;
  float s;
  int first; // 1-based start index expected
};

TEST(GridLookup, ChoosesTheDocumentedStencil) {
  const Grid grids[] = {
      {"beamwidth, interior", 0.04f, 1.0f, 26, 0.1f, 3},
      {"beamwidth, at zero", 0.04f, 1.0f, 26, 0.0f, 1},
      {"beamwidth, past the end", 0.04f, 1.0f, 26, 1.2f, 24},
      {"beamwidth, last interval", 0.04f, 1.0f, 26, 0.99f, 24},
      {"gain loss, interior", 0.02f, 1.1f, 51, 0.17f, 9},
      {"gain loss, just below a grid point", 0.02f, 1.1f, 51, 0.019f, 2},
      {"gain loss, past the end", 0.02f, 1.1f, 51, 1.1f, 49},
      {"negative, clamped to the first entries", 0.04f, 1.0f, 26, -0.05f, 1},
      {"far negative", 0.04f, 1.0f, 26, -3.0f, 1},
      {"far positive", 0.04f, 1.0f, 26, 5.0f, 24},
  };
  for (const Grid &g : grids) {
    std::vector<float> table;
    for (int m = 0; m < g.entries; ++m) {
      const float t = static_cast<float>(m) * g.step;
      table.push_back(t * t * t - 2.0f * t + 0.5f);
    }
    std::array<float, 3> x{}, y{};
    for (int j = 0; j < 3; ++j) {
      x[static_cast<std::size_t>(j)] =
          static_cast<float>(static_cast<double>(g.first - 1 + j) * g.step);
      y[static_cast<std::size_t>(j)] = table[static_cast<std::size_t>(g.first - 1 + j)];
    }
    const int three = 3;
    const float want = ALGIP(g.s, x.data(), y.data(), three);
    EXPECT_EQ(grid_lookup(table, g.step, g.offset, g.s), want) << g.label;
  }
}

TEST(GridLookup, NonFiniteArgumentGivesNan) {
  const std::array<float, 4> table = {1.0f, 2.0f, 3.0f, 4.0f};
  const float step = 0.5f, offset = 1.0f;
  for (const float s :
       {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity()})
    EXPECT_TRUE(std::isnan(grid_lookup(table, step, offset, s))) << s;
  EXPECT_TRUE(std::isnan(grid_lookup(std::span<const float>(table).first(2), step, offset, 0.5f)));
}

} // namespace
} // namespace kelvor::numeric
