#include "feed/parallel.hpp"

#ifdef KELVOR_FEED_TBB
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#endif

namespace kelvor::feed {

void for_each_index(std::size_t n, const std::function<void(std::size_t)> &job) {
#ifdef KELVOR_FEED_TBB
  // A job costs from tens of microseconds (a design row) to milliseconds (a dish): one per task.
  tbb::parallel_for(tbb::blocked_range<std::size_t>(0, n, 1), [&](const auto &range) {
    for (std::size_t i = range.begin(); i != range.end(); ++i)
      job(i);
  });
#else
  for (std::size_t i = 0; i < n; ++i)
    job(i);
#endif
}

bool runs_in_parallel() {
#ifdef KELVOR_FEED_TBB
  return true;
#else
  return false;
#endif
}

} // namespace kelvor::feed
