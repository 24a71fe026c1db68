// Independent jobs over an index range, on every core where the library is built with oneTBB
// (KELVOR_FEED_TBB), else in order on the calling thread. Each job writes its own result, so
// the results do not depend on the number of threads.
#pragma once

#include <cstddef>
#include <functional>

namespace kelvor::feed {

// Calls job(i) for every i below n.
void for_each_index(std::size_t n, const std::function<void(std::size_t)> &job);

// True when for_each_index spreads the jobs over the cores.
bool runs_in_parallel();

} // namespace kelvor::feed
