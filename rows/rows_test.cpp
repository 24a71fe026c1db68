#include "rows/rows.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "rows/batch.hpp"
#include "rows/row_count.hpp"

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

template <class T> bool same_bits(const std::vector<T> &a, const std::vector<T> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

// Rows split across threads are the rows of one thread, bit for bit, in order.
TEST(Batch, EveryThreadCountGivesTheOneThreadResult) {
  const std::vector<float> freq = sweep(1, 40.99f, 0.01f);
  ASSERT_EQ(freq.size(), 4000u);
  EXPECT_EQ(freq[1234], row_value(1235, 1, 0.01f));
  const std::vector<float> phdev = sweep(0, 1, 0.001f);
  const ResponseRequest horn{2.6118f, 28.8985f, column_levels(8, 3), CENTIMETRES};
  const DesignRequest request{10, 30, column_levels(8, 3), INCHES};
  const PatternRequest cut{10, 2.6118f, 28.8985f, true};
  std::vector<ResponseRow> response_one(freq.size()), response_all(freq.size());
  std::vector<DesignRow> design_one(phdev.size()), design_all(phdev.size());
  std::vector<PatternPoint> pattern_one(phdev.size()), pattern_all(phdev.size());
  response_rows(horn, freq, response_one, {1});
  design_rows(request, phdev, design_one, {1});
  pattern_cut(cut, phdev, pattern_one, {1});
  for (std::size_t threads : {0u, 2u, 3u}) {
    response_rows(horn, freq, response_all, {threads});
    design_rows(request, phdev, design_all, {threads});
    pattern_cut(cut, phdev, pattern_all, {threads});
    EXPECT_TRUE(same_bits(response_one, response_all)) << threads;
    EXPECT_TRUE(same_bits(design_one, design_all)) << threads;
    EXPECT_TRUE(same_bits(pattern_one, pattern_all)) << threads;
  }
  EXPECT_EQ(response_one[900].printed[0], freq[900]);
  EXPECT_EQ(pattern_one[0].LEVEL, 0.0f);
}

} // namespace
} // namespace kelvor::rows
