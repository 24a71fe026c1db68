#include "rows/batch.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "horn/pattern_point.hpp"
#include "rows/row_count.hpp"

namespace kelvor::rows {
namespace {

template <class T> bool same_bits(const std::vector<T> &a, const std::vector<T> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

// Rows split across threads are the rows of one thread, bit for bit, in order.
TEST(Batch, EveryThreadCountGivesTheOneThreadResult) {
  const std::vector<float> freq = sweep(1, 40.99f, 0.01f);
  ASSERT_EQ(freq.size(), 4000u);
  const std::vector<float> phdev = sweep(0, 1, 0.001f);
  const ResponseRequest horn{2.6118f, 28.8985f, column_levels(8, 3), CENTIMETRES};
  const DesignRequest request{10, 30, column_levels(8, 3), INCHES};
  const PatternRequest cut{10, 2.6118f, 28.8985f, true};
  std::vector<ResponseRow> response_one(freq.size()), response_all(freq.size());
  std::vector<DesignRow> design_one(phdev.size()), design_all(phdev.size());
  std::vector<PatternPoint> pattern_one(phdev.size()), pattern_all(phdev.size());
  ASSERT_TRUE(response_rows(horn, freq, response_one, {1}));
  ASSERT_TRUE(design_rows(request, phdev, design_one, {1}));
  ASSERT_TRUE(pattern_cut(cut, phdev, pattern_one, {1}));
  for (std::size_t threads : {0u, 2u, 3u}) {
    ASSERT_TRUE(response_rows(horn, freq, response_all, {threads}));
    ASSERT_TRUE(design_rows(request, phdev, design_all, {threads}));
    ASSERT_TRUE(pattern_cut(cut, phdev, pattern_all, {threads}));
    EXPECT_TRUE(same_bits(response_one, response_all)) << threads;
    EXPECT_TRUE(same_bits(design_one, design_all)) << threads;
    EXPECT_TRUE(same_bits(pattern_one, pattern_all)) << threads;
  }
  EXPECT_EQ(response_one[900].printed[0], freq[900]);
  EXPECT_EQ(pattern_one[0].LEVEL, 0.0f);
  // An output shorter or longer than the input is refused and left untouched.
  EXPECT_FALSE(response_rows(horn, std::span(freq).first(99), std::span(response_all).first(98)));
  EXPECT_FALSE(design_rows(request, std::span(phdev).last(2), std::span(design_all).first(3)));
  EXPECT_FALSE(pattern_cut(cut, std::span(phdev).first(2), std::span(pattern_one).first(1)));
  EXPECT_TRUE(same_bits(design_one, design_all));
  // The cut runs four angles side by side: each point is still the one point at its own angle,
  // the lone point of the last group included.
  const float axis = horn::axis_level(cut);
  for (const std::size_t i : {std::size_t{1}, std::size_t{998}, phdev.size() - 1}) {
    const std::vector<PatternPoint> alone{horn::pattern_point(cut, axis, phdev[i])};
    EXPECT_TRUE(same_bits(alone, std::vector<PatternPoint>{pattern_one[i]})) << i;
  }
}

} // namespace
} // namespace kelvor::rows
