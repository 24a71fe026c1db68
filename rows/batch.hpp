// Rows over arrays, for scripts and long sweeps: the rows are independent, so a
// long sweep is split across the cores. Every row is computed by the same pure
// function as on one thread, so the result is the same to the bit and in the
// same order whatever the number of threads.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "rows/pattern_point.hpp"
#include "rows/rows.hpp"

namespace kelvor::rows {

// max_threads: 0 uses every core, 1 computes on the calling thread alone.
struct Threads {
  std::size_t max_threads = 0;
};

// The values of the rows of a table from start to stop by step: row_count rows,
// row k holding row_value(k, start, step). No rows when the count is not positive.
std::vector<float> sweep(float start, float stop, float step);

// out[i] = design_row(request, PHDEV[i]); out must be as long as PHDEV.
void design_rows(const DesignRequest &request, std::span<const float> PHDEV,
                 std::span<DesignRow> out, Threads threads = {});

// out[i] = response_row(request, FRESP[i]); out must be as long as FRESP.
void response_rows(const ResponseRequest &request, std::span<const float> FRESP,
                   std::span<ResponseRow> out, Threads threads = {});

// The pattern cut at the angles THETA (degrees); out must be as long as THETA.
void pattern_cut(const PatternRequest &request, std::span<const float> THETA,
                 std::span<PatternPoint> out, Threads threads = {});

} // namespace kelvor::rows
