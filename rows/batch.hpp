// Rows over arrays, for scripts and long sweeps: the rows are independent, so a
// long sweep is split across the cores. Every row is computed by the same pure
// function as on one thread, so the result is the same to the bit and in the
// same order whatever the number of threads.
#pragma once

#include <cstddef>
#include <span>

#include "horn/pattern_point.hpp"
#include "rows/row_count.hpp"
#include "rows/rows.hpp"

namespace kelvor::rows {

// max_threads: 0 uses every core, 1 computes on the calling thread alone.
struct Threads {
  std::size_t max_threads = 0;
};

// Each entry point fills out[i] for every input value i and returns true; an out
// not exactly as long as the input is refused: false, and out is left untouched.

// out[i] = design_row(request, PHDEV[i]).
[[nodiscard]] bool design_rows(const DesignRequest &request, std::span<const float> PHDEV,
                               std::span<DesignRow> out, Threads threads = {});

// out[i] = response_row(request, FRESP[i]).
[[nodiscard]] bool response_rows(const ResponseRequest &request, std::span<const float> FRESP,
                                 std::span<ResponseRow> out, Threads threads = {});

// A horn at one frequency, and one point of its pattern cut (horn/pattern_point.hpp).
using horn::PatternPoint;
using horn::PatternRequest;

// out[i] = horn::pattern_point(request, on-axis level, THETA[i]), THETA in degrees.
[[nodiscard]] bool pattern_cut(const PatternRequest &request, std::span<const float> THETA,
                               std::span<PatternPoint> out, Threads threads = {});

} // namespace kelvor::rows
