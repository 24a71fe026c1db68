// Batch sweep through the library: a frequency response of 10^6 rows computed on
// one thread and on every core, the speed-up of the second over the first, and
// a check that both give the same rows bit for bit.
//   kelvor_bench_batch [rows] [repetitions]     (defaults 1000000 and 3)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include "rows/batch.hpp"
#include "rows/row_count.hpp"

namespace {

using namespace kelvor::rows;

// The README's horn from 1 GHz upward by 0.1 MHz.
const ResponseRequest kHorn{2.6118f, 28.8985f, column_levels(10, 3), INCHES};

struct Timing {
  double wall = 0, cpu = 0; // seconds; cpu is the process's time on all its threads
};

double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The run of median wall time among the repetitions.
Timing median_run(const std::vector<float> &freq, std::vector<ResponseRow> &out,
                  std::size_t threads, int repetitions) {
  std::vector<Timing> runs;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = cpu_seconds();
    // out is made as long as freq, so the rows are never refused.
    if (!response_rows(kHorn, freq, out, {threads}))
      std::abort();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    runs.push_back({wall.count(), cpu_seconds() - cpu});
  }
  std::sort(runs.begin(), runs.end(), [](Timing a, Timing b) { return a.wall < b.wall; });
  return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
  if (rows <= 0 || repetitions <= 0)
    return 2;
  std::vector<float> freq(static_cast<std::size_t>(rows));
  for (std::size_t k = 0; k < freq.size(); ++k)
    freq[k] = row_value(static_cast<std::int64_t>(k) + 1, 1.0f, 1e-4f);
  std::vector<ResponseRow> one(freq.size()), all(freq.size());
  const Timing t1 = median_run(freq, one, 1, repetitions);
  const Timing tn = median_run(freq, all, 0, repetitions);
  const bool same = std::memcmp(one.data(), all.data(), one.size() * sizeof(ResponseRow)) == 0;
  const unsigned cores = std::thread::hardware_concurrency();
  const double n = static_cast<double>(rows);
  std::printf("response sweep, %ld rows, median of %d\n", rows, repetitions);
  std::printf("  one thread  %8.3f s wall  %8.3f s cpu  %6.2f us/row\n", t1.wall, t1.cpu,
              t1.wall / n * 1e6);
  std::printf("  %2u cores    %8.3f s wall  %8.3f s cpu  %6.2f us/row\n", cores, tn.wall, tn.cpu,
              tn.wall / n * 1e6);
  std::printf("  speed-up    %8.2f (target >= 1.8 on 2 cores)\n", t1.wall / tn.wall);
  // On a machine shared with other work the wall times measure the share of the
  // cores this process got; the work itself is the cpu time. Without overhead
  // the two cpu times are equal and idle cores give the full speed-up.
  std::printf("  cpu time, all cores / one thread %.3f: speed-up on idle cores at most %.2f\n",
              tn.cpu / t1.cpu, cores * t1.cpu / tn.cpu);
  std::printf("  rows identical %s\n", same ? "yes" : "NO");
  return same ? 0 : 1;
}
