#include "rows/batch.hpp"

#include <tbb/blocked_range.h>
#include <tbb/info.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "horn/pattern.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"
#include "rows/row_count.hpp"

namespace kelvor::rows {

using numeric::rounded;

namespace {

using numeric::kDegToRad;
// The pattern routine's own dB per neper, so that a relative level is the
// difference of two levels on one scale.
using numeric::kDbPerNeperPattern;

// Calls row(i) for every i below n, on up to threads.max_threads threads. Rows
// cost tens of microseconds each, so small chunks balance the load well.
template <class Row> void for_each_row(std::size_t n, Threads threads, const Row &row) {
  if (n == 0)
    return;
  const auto all = [&] {
    constexpr std::size_t grain = 16;
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n, grain), [&](const auto &range) {
      for (std::size_t i = range.begin(); i != range.end(); ++i)
        row(i);
    });
  };
  if (threads.max_threads == 1) {
    for (std::size_t i = 0; i < n; ++i)
      row(i);
  } else if (threads.max_threads == 0) {
    all();
  } else {
    // More threads than cores would only queue; oneTBB warns when asked for them.
    const auto cores = static_cast<std::size_t>(tbb::info::default_concurrency());
    tbb::task_arena arena(static_cast<int>(std::min(threads.max_threads, cores)));
    arena.execute(all);
  }
}

// The points of a cut from first on (at most four, while the cut lasts), computed side by side:
// the last angle stands in for those past the cut's end.
void pattern_points(const PatternRequest &request, const horn::HornPattern &horn, float axis_level,
                    std::span<const float> THETA, std::size_t first, std::span<PatternPoint> out) {
  constexpr std::size_t batch = horn::kBatchAngles;
  std::array<float, batch> theta{}, level{}, phase{};
  const std::size_t count = std::min(batch, THETA.size() - first);
  for (std::size_t a = 0; a < batch; ++a)
    theta[a] = rounded(static_cast<double>(kDegToRad) * THETA[first + std::min(a, count - 1)]);
  horn.points(theta, level, phase);
  for (std::size_t a = 0; a < count; ++a) {
    const double obliquity =
        request.obliquity
            ? std::log((1 + std::cos(static_cast<double>(theta[a]))) / 2) * kDbPerNeperPattern
            : 0.0;
    out[first + a] = {THETA[first + a],
                      rounded(static_cast<double>(level[a]) - axis_level + obliquity), phase[a]};
  }
}

} // namespace

std::vector<float> sweep(float start, float stop, float step) {
  const std::int32_t n = row_count(start, stop, step);
  std::vector<float> values(n > 0 ? static_cast<std::size_t>(n) : 0);
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = row_value(static_cast<std::int64_t>(i) + 1, start, step);
  return values;
}

void design_rows(const DesignRequest &request, std::span<const float> PHDEV,
                 std::span<DesignRow> out, Threads threads) {
  const std::size_t n = std::min(PHDEV.size(), out.size());
  for_each_row(n, threads, [&](std::size_t i) { out[i] = design_row(request, PHDEV[i]); });
}

void response_rows(const ResponseRequest &request, std::span<const float> FRESP,
                   std::span<ResponseRow> out, Threads threads) {
  const std::size_t n = std::min(FRESP.size(), out.size());
  for_each_row(n, threads, [&](std::size_t i) { out[i] = response_row(request, FRESP[i]); });
}

void pattern_cut(const PatternRequest &request, std::span<const float> THETA,
                 std::span<PatternPoint> out, Threads threads) {
  const std::size_t n = std::min(THETA.size(), out.size());
  const float axis = 0.0f;
  float axis_level = 0.0f;
  float axis_phase = 0.0f;
  // Every angle of the cut shares the horn's phase factors; four at a time run side by side.
  const horn::HornPattern horn(request.FREQ, request.ARAD, request.SRAD);
  horn.point(axis, axis_level, axis_phase);
  const std::size_t batch = horn::kBatchAngles;
  for_each_row((n + batch - 1) / batch, threads, [&](std::size_t group) {
    pattern_points(request, horn, axis_level, THETA.first(n), group * batch, out);
  });
}

} // namespace kelvor::rows
