#include "numeric/besj0_lanes.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "numeric/besj0.hpp"
#include "tests/support/test_support.hpp"

namespace kelvor::numeric {
namespace {

using Lanes = std::array<float, J0LANES>;
using Lanes4 = std::array<float, J0LANES4>;

// Every lane of BESJ0N and of each vector width this processor runs against the scalar routine,
// compared as bit patterns (any NaN matching any NaN).
template <std::size_t N> void expect_lanes_are_besj0(const std::array<float, N> &x) {
  std::array<float, N> j{};
  BESJ0N(x, j);
  for (std::size_t i = 0; i < N; ++i)
    EXPECT_PRED2(kelvor::testing::same_bits, j[i], BESJ0(x[i])) << "lane " << i << ", x = " << x[i];
  for (const J0LaneVariant<N> &v : j0_lane_variants<N>()) {
    v.run(x, j);
    for (std::size_t i = 0; i < N; ++i)
      EXPECT_PRED2(kelvor::testing::same_bits, j[i], BESJ0(x[i])) << v.name << " lane " << i;
  }
}

// The sixteen lanes of each row, and the four rows side by side in the wide lanes.
void expect_rows_are_besj0(const std::array<Lanes, 4> &rows) {
  Lanes4 all{};
  for (std::size_t r = 0; r < rows.size(); ++r) {
    expect_lanes_are_besj0(rows[r]);
    std::copy(rows[r].begin(), rows[r].end(),
              all.begin() + static_cast<std::ptrdiff_t>(r * J0LANES));
  }
  expect_lanes_are_besj0(all);
}

TEST(BESJ0N, EdgeArgumentsSideBySide) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float huge = std::numeric_limits<float>::max();
  constexpr float tiny = std::numeric_limits<float>::denorm_min();
  // Lanes that stop after one block beside lanes that need all twenty, and both branches.
  const std::array<Lanes, 4> rows = {{
      {0.0f, -0.0f, tiny, -tiny, 1e-20f, 10.0f, std::nextafter(10.0f, 11.0f), nan, inf, -inf, huge,
       -huge, -1e30f, 2.4048255f, -10.0f, 9.999f},
      {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
       0.0f},
      {20.0f, 30.0f, 40.0f, 50.0f, 60.0f, 70.0f, 80.0f, 90.0f, 100.0f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f,
       1e8f, 1e9f},
      {-20.0f, -12.5f, -11.0f, -10.5f, 0.001f, 0.01f, 0.1f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f,
       7.0f, 8.0f, 9.0f},
  }};
  expect_rows_are_besj0(rows);
}

TEST(BESJ0N, RandomArgumentsSideBySide) {
  std::mt19937 gen(20261209);
  std::uniform_real_distribution<float> series(-12.0f, 12.0f);
  std::uniform_real_distribution<float> exponent(-40.0f, 38.0f);
  for (int n = 0; n < 500; ++n) {
    std::array<Lanes, 4> rows{};
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (float &v : rows[r])
        v = r % 2 == 0 ? series(gen) : std::pow(10.0f, exponent(gen));
    expect_rows_are_besj0(rows);
  }
}

} // namespace
} // namespace kelvor::numeric
