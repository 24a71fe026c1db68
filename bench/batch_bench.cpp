// Batch sweep through the library: a frequency response of 10^6 rows computed on
// one thread and on every core, the speed-up of the second over the first, and
// a check that both give the same rows bit for bit.
//   kelvor_bench_batch [rows] [repetitions]     (defaults 1000000 and 3)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "rows/batch.hpp"
#include "rows/row_count.hpp"

namespace {

using namespace kelvor::rows;

// The README's horn from 1 GHz upward by 0.1 MHz.
const ResponseRequest kHorn{2.6118f, 28.8985f, column_levels(10, 3), INCHES};

double median_seconds(const std::vector<float> &freq, std::vector<ResponseRow> &out,
                      std::size_t threads, int repetitions) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    response_rows(kHorn, freq, out, {threads});
    times.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
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
  const double t1 = median_seconds(freq, one, 1, repetitions);
  const double tn = median_seconds(freq, all, 0, repetitions);
  const bool same = std::memcmp(one.data(), all.data(), one.size() * sizeof(ResponseRow)) == 0;
  std::printf("response sweep, %ld rows, median of %d\n", rows, repetitions);
  std::printf("  one thread     %8.3f s  %6.2f us/row\n", t1, t1 / static_cast<double>(rows) * 1e6);
  std::printf("  %2u cores       %8.3f s  %6.2f us/row\n", std::thread::hardware_concurrency(), tn,
              tn / static_cast<double>(rows) * 1e6);
  std::printf("  speed-up       %8.2f (target >= 1.8 on 2 cores)\n", t1 / tn);
  std::printf("  rows identical %s\n", same ? "yes" : "NO");
  return same ? 0 : 1;
}
