// The cost of a table row, computed and end to end, and what a run costs in time
// and memory. Figures, with the command that produced them, are in README.md;
// main() prints them against their targets after the benchmarks.
//
// - compute: one frequency-response row (four CCBWT, CHPCT, CRNGN and the row's
//   own arithmetic) and one design row (CCBWD, CCBWT, CHPCT, CRNGN), through the
//   row layer's functions, over the same frequencies as the end-to-end run; each
//   also with the reference pattern integral (CHPCTR) injected as the phase-centre
//   routine, for the reference/fast ratio in one run;
// - end to end: the built kelvor, spawned with a file of answers, standard
//   output and the report on disk: a 100000-row frequency response less a
//   1-row one, per row; and a run that answers the unit question with 0;
// - heap allocations per row, counted in-process by the replaced operator new
//   over runs of N and 2N rows;
// - peak resident memory of the 100000-row run, measured by kelvor_peak_rss.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "dialogue/dialogue.hpp"
#include "fake_platform.hpp"
#include "horn/phase_centre.hpp"
#include "recordio/session_testing.hpp"
#include "rows/row_count.hpp"
#include "rows/rows.hpp"

extern char **environ;

// --- heap allocation count ---------------------------------------------------

namespace {
std::atomic<long> g_allocations{0};
} // namespace

void *operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void *p = std::malloc(n == 0 ? 1 : n))
    return p;
  throw std::bad_alloc();
}
void *operator new[](std::size_t n) {
  return ::operator new(n);
}
void operator delete(void *p) noexcept {
  std::free(p);
}
void operator delete[](void *p) noexcept {
  std::free(p);
}
void operator delete(void *p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void *p, std::size_t) noexcept {
  std::free(p);
}

namespace {

using namespace kelvor;

// --- the rows ------------------------------------------------------------------

// The end-to-end run's horn (inches) and frequency range: 1 GHz upward by 1 MHz.
constexpr float kAperture = 2.6118f, kSlant = 28.8985f;
constexpr float kFirstFrequency = 1.0f, kFrequencyStep = 0.001f;
constexpr int kRows = 100000;

// The rows through the product's own row functions, with the phase-centre routine
// injected: horn::CHPCT (fast pattern integral) or horn::CHPCTR (reference).
void compute_frequency_rows(benchmark::State &state, rows::PhaseCentre phase_centre) {
  // The dialogue's request for the horn at the nominal 10 dB level, in inches.
  const rows::ResponseRequest request{kAperture, kSlant, rows::column_levels(10, 3), rows::INCHES};
  // The cost of a row depends on its frequency (J0 takes another branch for a
  // larger aperture in wavelengths), so the rows are visited with a stride prime
  // to kRows: any few thousand iterations sample the whole band evenly, as the
  // end-to-end run does.
  constexpr int stride = 7919;
  int k = 1;
  for (auto _ : state) {
    k = (k - 1 + stride) % kRows + 1;
    const float FRESP = rows::row_value(k, kFirstFrequency, kFrequencyStep);
    benchmark::DoNotOptimize(rows::response_row(request, FRESP, phase_centre));
  }
}
void BM_compute_frequency_row(benchmark::State &state) {
  compute_frequency_rows(state, horn::CHPCT);
}
void BM_compute_frequency_row_reference(benchmark::State &state) {
  compute_frequency_rows(state, horn::CHPCTR);
}
BENCHMARK(BM_compute_frequency_row)->Repetitions(5);
BENCHMARK(BM_compute_frequency_row_reference)->Repetitions(5);

// Rows of a design table at 10 GHz for a 30 degree beamwidth at 10 dB, over
// phase deviations 0.01 to 1 cycle.
void compute_design_rows(benchmark::State &state, rows::PhaseCentre phase_centre) {
  const rows::DesignRequest request{10.0f, 30.0f, rows::column_levels(10, 3), rows::INCHES};
  constexpr float PDSTRT = 0.01f, PDSTEP = 0.01f;
  int k = 0;
  for (auto _ : state) {
    k = k == 100 ? 1 : k + 1;
    const float PHDEV = rows::row_value(k, PDSTRT, PDSTEP);
    benchmark::DoNotOptimize(rows::design_row(request, PHDEV, phase_centre));
  }
}
void BM_compute_design_row(benchmark::State &state) {
  compute_design_rows(state, horn::CHPCT);
}
void BM_compute_design_row_reference(benchmark::State &state) {
  compute_design_rows(state, horn::CHPCTR);
}
BENCHMARK(BM_compute_design_row)->Repetitions(5);
BENCHMARK(BM_compute_design_row_reference)->Repetitions(5);

// --- whole runs ------------------------------------------------------------------

bool write_text(const char *name, const std::string &text) {
  FILE *f = std::fopen(name, "wb");
  if (f == nullptr)
    return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// Answers for a design row at 10 GHz, then a frequency response of the README's
// horn from 1 GHz in `rows` rows of `step` GHz, then the way out.
std::string response_answers(int rows, double step = kFrequencyStep) {
  char range[64];
  std::snprintf(range, sizeof range, "%.0f,%.6f,%.6f", static_cast<double>(kFirstFrequency),
                kFirstFrequency + (rows - 1) * step, step);
  return "out.txt\n2\n10,30\n10\n0.1,0.1,0.1\n2.6118,28.8985\n" + std::string(range) +
         "\n0,0\n0,0,0\n0,0\n";
}

// Spawns kelvor on an answers file, standard output and error to files on disk;
// returns its exit status (128 + signal when a signal ended it).
int spawn_kelvor(const char *answers) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, answers, O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "console.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "errors.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  char program[] = KELVOR_BINARY;
  char *argv[] = {program, nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0)
    return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid)
    return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void BM_process_rows(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string name = "answers-" + std::to_string(rows) + ".txt";
  if (!write_text(name.c_str(), response_answers(rows))) {
    state.SkipWithError("cannot write the answers file");
    return;
  }
  for (auto _ : state)
    if (spawn_kelvor(name.c_str()) != 0) {
      state.SkipWithError("kelvor did not end by the stop");
      return;
    }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_process_rows)
    ->Arg(1)
    ->Iterations(20)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_process_rows)
    ->Arg(kRows)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_process_start_stop(benchmark::State &state) {
  if (!write_text("answers-stop.txt", "out.txt\n0\n")) {
    state.SkipWithError("cannot write the answers file");
    return;
  }
  for (auto _ : state)
    if (spawn_kelvor("answers-stop.txt") != 0) {
      state.SkipWithError("kelvor did not end by the stop");
      return;
    }
}
BENCHMARK(BM_process_start_stop)
    ->Iterations(50)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Peak resident memory of a run of `range(0)` rows, through the small launcher.
void BM_process_peak_memory(benchmark::State &state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string name = "answers-" + std::to_string(rows) + ".txt";
  if (!write_text(name.c_str(), response_answers(rows))) {
    state.SkipWithError("cannot write the answers file");
    return;
  }
  long peak = 0;
  for (auto _ : state) {
    const std::string command =
        std::string(KELVOR_PEAK_RSS) + " " + name + " console.txt errors.txt " + KELVOR_BINARY;
    FILE *p = ::popen(command.c_str(), "r");
    int status = -1;
    if (p == nullptr || std::fscanf(p, "%ld %d", &peak, &status) != 2 || ::pclose(p) != 0 ||
        status != 0) {
      state.SkipWithError("the launcher did not report a run ended by the stop");
      return;
    }
  }
  state.counters["peak_rss_kib"] = static_cast<double>(peak);
}
BENCHMARK(BM_process_peak_memory)->Arg(kRows)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- in-process runs: allocations per row ------------------------------------------

struct InProcess {
  long allocations = 0;
  double seconds = 0;
  std::uint32_t status = 1;
};

// Runs the whole dialogue in this process on the answers for `rows` rows spread
// over the band of the end-to-end run, on the in-memory platform with the
// console and the report counted, not kept.
InProcess run_in_process(int rows) {
  InProcess r;
  const double step = static_cast<double>(kFrequencyStep) * kRows / rows;
  test::FakePlatform os;
  os.input = response_answers(rows, step);
  os.output.keep = false;
  os.files["out.txt"].keep = false;
  recordio::testing::begin_session(os);
  const long before = g_allocations.load();
  const auto start = std::chrono::steady_clock::now();
  try {
    dialogue::run();
  } catch (const test::ProcessEnded &e) {
    r.status = e.status;
  }
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.allocations = g_allocations.load() - before;
  return r;
}

void BM_in_process_allocations(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  // The first run gives the layer's buffers their steady size; its count also
  // shows that the counting works.
  const InProcess first = run_in_process(1);
  InProcess once, twice;
  for (auto _ : state) {
    once = run_in_process(n);
    twice = run_in_process(2 * n);
  }
  if (once.status != 0 || twice.status != 0) {
    state.SkipWithError("the in-process run did not end by the stop");
    return;
  }
  state.counters["allocations_first_run"] = static_cast<double>(first.allocations);
  state.counters["allocations_n"] = static_cast<double>(once.allocations);
  state.counters["allocations_2n"] = static_cast<double>(twice.allocations);
  state.counters["allocations_per_row"] =
      static_cast<double>(twice.allocations - once.allocations) / n;
  state.counters["us_per_row"] = (twice.seconds - once.seconds) / n * 1e6;
}
BENCHMARK(BM_in_process_allocations)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- the figures against their targets ------------------------------------------------

class Collector : public benchmark::ConsoleReporter {
public:
  Collector() : ConsoleReporter(::isatty(1) != 0 ? OO_Defaults : OO_Tabular) {}

  struct Figure {
    double ns = 0;
    benchmark::UserCounters counters;
  };
  // By function name and argument; medians where there are repetitions.
  std::map<std::string, Figure> figures;

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.error_occurred)
        continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single)
        continue;
      const auto &name = run.run_name;
      Figure &f = figures[name.function_name + (name.args.empty() ? "" : "/" + name.args)];
      f.ns = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
      f.counters = run.counters;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  const Figure *find(const std::string &name) const {
    const auto it = figures.find(name);
    return it == figures.end() ? nullptr : &it->second;
  }
};

void print_summary(const Collector &c) {
  const auto *row = c.find("BM_compute_frequency_row");
  const auto *design = c.find("BM_compute_design_row");
  const auto *row_ref = c.find("BM_compute_frequency_row_reference");
  const auto *design_ref = c.find("BM_compute_design_row_reference");
  const auto *one = c.find("BM_process_rows/1");
  const auto *many = c.find("BM_process_rows/100000");
  const auto *stop = c.find("BM_process_start_stop");
  const auto *memory = c.find("BM_process_peak_memory/100000");
  const auto *allocs = c.find("BM_in_process_allocations/10000");

  std::printf("\nFigures (medians of the repetitions)\n");
  if (row)
    std::printf("  compute, one frequency-response row   %9.2f us   target <= 7     %s\n",
                row->ns / 1e3, row->ns <= 7e3 ? "met" : "MISSED");
  if (design)
    std::printf("  compute, one design row               %9.2f us\n", design->ns / 1e3);
  if (row && row_ref) {
    const double ratio = row_ref->ns / row->ns;
    std::printf("  response row, reference / fast        %9.3f    target >= 3.2   %s\n", ratio,
                ratio >= 3.2 ? "met" : "MISSED");
  }
  if (design && design_ref)
    std::printf("  design row, reference / fast          %9.3f\n", design_ref->ns / design->ns);
  if (one && many) {
    const double per_row = (many->ns - one->ns) / (kRows - 1);
    std::printf("  process, 1-row run                    %9.2f ms\n", one->ns / 1e6);
    std::printf("  process, %d-row run               %9.1f ms\n", kRows, many->ns / 1e6);
    std::printf("  end to end per row                    %9.2f us   target <= 8     %s\n",
                per_row / 1e3, per_row <= 8e3 ? "met" : "MISSED");
    if (row) {
      const double ratio = per_row / row->ns;
      std::printf("  end to end / compute                  %9.3f    target <= 1.25  %s\n", ratio,
                  ratio <= 1.25 ? "met" : "MISSED");
    }
  }
  if (allocs) {
    const double per_row = allocs->counters.at("allocations_per_row");
    std::printf("  heap allocations per row              %9.3f    target 0        %s\n", per_row,
                per_row == 0 ? "met" : "MISSED");
    std::printf("  heap allocations, first in-process run %8.0f (runs of %d and %d rows: %.0f, "
                "%.0f)\n",
                static_cast<double>(allocs->counters.at("allocations_first_run")), 10000, 20000,
                static_cast<double>(allocs->counters.at("allocations_n")),
                static_cast<double>(allocs->counters.at("allocations_2n")));
    std::printf("  in-process time per row               %9.2f us\n",
                static_cast<double>(allocs->counters.at("us_per_row")));
  }
  if (stop)
    std::printf("  start to stop (unit 0)                %9.3f ms   target < 5 ms   %s\n",
                stop->ns / 1e6, stop->ns < 5e6 ? "met" : "MISSED");
  if (memory) {
    const double kib = memory->counters.at("peak_rss_kib");
    std::printf("  peak resident memory, %d rows     %9.0f KiB  target < 8192   %s\n", kRows, kib,
                kib < 8192 ? "met" : "MISSED");
  }
}

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  // Every run writes its report and console files into a private directory.
  std::string dir =
      std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/kelvor-bench-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr || ::chdir(dir.c_str()) != 0) {
    std::perror("kelvor_bench_rows: private directory");
    return 1;
  }
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  print_summary(collector);
  for (const char *name : {"out.txt", "console.txt", "errors.txt", "answers-1.txt",
                           "answers-100000.txt", "answers-stop.txt", "answers-in-process.txt"})
    ::unlink(name);
  ::chdir("/");
  ::rmdir(dir.c_str());
  return 0;
}
