#include "numeric/constants.hpp"

#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

namespace kelvor::numeric {
namespace {

// Every printed digit depends on the exact float of each constant: pin the bits.
TEST(Constants, Bits) {
  struct Case {
    const char *label;
    float value;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"CLIGHT", CLIGHT, 0x413CD879},
      {"kLightOverTwoPi", kLightOverTwoPi, 0x3FF07219},
      {"kDegToRad", kDegToRad, 0x3C8EFA34},
      {"kTwoPiBeamwidth", kTwoPiBeamwidth, 0x40C90FDA},
      {"kTwoPiPattern", kTwoPiPattern, 0x40C90FDB},
      {"kDbPerNeperGain", kDbPerNeperGain, 0x410AF967},
      {"kDbPerNeperPattern", kDbPerNeperPattern, 0x410AF968},
      {"kPiBessel", kPiBessel, 0x40490FDC},
      {"kQuarterPiBessel", kQuarterPiBessel, 0x3F490FDB},
      {"kTwoOverPiBessel", kTwoOverPiBessel, 0x3F22F984},
      {"kFirstZeroJ0", kFirstZeroJ0, 0x4019E8A9},
  };
  for (const Case &c : cases)
    EXPECT_EQ(std::bit_cast<std::uint32_t>(c.value), c.bits) << c.label;
}

} // namespace
} // namespace kelvor::numeric
