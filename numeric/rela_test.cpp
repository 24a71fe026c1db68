#include "numeric/rela.hpp"

#include <cmath>

#include <gtest/gtest.h>

namespace kelvor::numeric {
namespace {

TEST(RELA, ReducesToHalfTurn) {
  struct Case {
    const char *label;
    float a, b, want;
  };
  const Case cases[] = {
      {"across +-180, upwards", 170.0f, -170.0f, -20.0f},
      {"across +-180, downwards", -170.0f, 170.0f, 20.0f},
      {"across zero", 10.0f, -10.0f, 20.0f},
      {"opposite signs, wide", 90.0f, -100.0f, -170.0f},
      {"half turn, one order", -179.0f, 1.0f, 180.0f},
      {"half turn, other order", 1.0f, -179.0f, -180.0f},
      {"both ends of the range", 180.0f, -180.0f, 0.0f},
      {"zero skips the shift, one correction", 0.0f, 270.0f, 90.0f},
      {"equal", 37.5f, 37.5f, 0.0f},
      {"same sign, no correction", -20.0f, -150.0f, 130.0f},
  };
  for (const Case &c : cases)
    EXPECT_EQ(RELA(c.a, c.b), c.want) << c.label;
}

TEST(RELA, UnwrapsAPhaseRamp) {
  // A phase falling steadily by 37 degrees a step, wrapped into -180 ... 180, is recovered by
  // summing neighbour differences.
  float total = 0.0f;
  float prev = 0.0f;
  for (int i = 1; i <= 30; ++i) {
    float phase = std::remainder(-37.0f * static_cast<float>(i), 360.0f);
    total += RELA(phase, prev);
    prev = phase;
  }
  EXPECT_EQ(total, -37.0f * 30);
}

} // namespace
} // namespace kelvor::numeric
