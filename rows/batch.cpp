#include "rows/batch.hpp"

#ifdef KELVOR_BATCH_TBB
#include <tbb/blocked_range.h>
#include <tbb/info.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>
#else
#include <atomic>
#include <thread>
#include <vector>
#endif

#include <algorithm>

namespace kelvor::rows {

namespace {

// Rows cost tens of microseconds each, so chunks of this many balance the load well.
constexpr std::size_t kGrain = 16;

#ifdef KELVOR_BATCH_TBB
// Calls row(i) for every i below n, on up to threads.max_threads threads.
template <class Row> void for_each_row(std::size_t n, Threads threads, const Row &row) {
  if (n == 0)
    return;
  const auto all = [&] {
    tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n, kGrain), [&](const auto &range) {
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
#else
// Without oneTBB: the calling thread and up to threads.max_threads - 1 more (never more
// than the cores, nor than the chunks) take chunks of rows in turn until none is left.
template <class Row> void for_each_row(std::size_t n, Threads threads, const Row &row) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t wanted =
      threads.max_threads == 0 ? cores : std::min(threads.max_threads, cores);
  const std::size_t count = std::min(wanted, (n + kGrain - 1) / kGrain);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t first = next.fetch_add(kGrain); first < n; first = next.fetch_add(kGrain))
      for (std::size_t i = first; i < std::min(n, first + kGrain); ++i)
        row(i);
  };
  std::vector<std::jthread> helpers;
  for (std::size_t k = 1; k < count; ++k)
    helpers.emplace_back(work);
  work();
}
#endif

} // namespace

bool design_rows(const DesignRequest &request, std::span<const float> PHDEV,
                 std::span<DesignRow> out, Threads threads) {
  if (out.size() != PHDEV.size())
    return false;
  for_each_row(out.size(), threads, [&](std::size_t i) { out[i] = design_row(request, PHDEV[i]); });
  return true;
}

bool response_rows(const ResponseRequest &request, std::span<const float> FRESP,
                   std::span<ResponseRow> out, Threads threads) {
  if (out.size() != FRESP.size())
    return false;
  for_each_row(out.size(), threads,
               [&](std::size_t i) { out[i] = response_row(request, FRESP[i]); });
  return true;
}

bool pattern_cut(const PatternRequest &request, std::span<const float> THETA,
                 std::span<PatternPoint> out, Threads threads) {
  if (out.size() != THETA.size())
    return false;
  // Every angle of the cut shares the horn's phase factors; four at a time run side by side.
  const horn::HornPattern shape(request.FREQ, request.ARAD, request.SRAD);
  const float axis = horn::axis_level(request);
  constexpr std::size_t batch = horn::kBatchAngles;
  for_each_row((out.size() + batch - 1) / batch, threads, [&](std::size_t group) {
    const std::size_t first = group * batch;
    const std::size_t count = std::min(batch, out.size() - first);
    horn::pattern_points(request, shape, axis, THETA.subspan(first, count),
                         out.subspan(first, count));
  });
  return true;
}

} // namespace kelvor::rows
