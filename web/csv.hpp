// The page's CSV files, in the schema the command line and Python write: a block
// of "# key: value" comment lines naming the request, then snake_case column
// names that carry their unit, then the rows. A quantity with no answer is an
// empty cell, and the row says why (level_missed, reason). Table exports hold the
// digits of the printed table; model results hold full double precision.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "web/core.hpp"

namespace kelvor::web::csv {

// The shortest decimal text that reads back as the float v ("9.14", not
// "9.14000034"); "" for a value that is not finite.
std::string shortest(float v);
// The double that shortest(v) names: the value as typed (9.14, where the float
// is 9.14000034), which the model-true path, in double, computes with.
double typed_value(float v);
// A count of rows for a message: every digit up to 1e15, three beyond.
std::string count_text(double count);
// The shortest decimal (15 to 17 significant digits) that reads back as the
// double v; "" when not finite.
std::string full(double v);

// "# key: value" lines, one per pair.
std::string request_block(const std::vector<std::pair<std::string, std::string>> &pairs);
// The pairs naming a request: the unit, then frequency, beamwidth and level where
// `design`, the horn where `horn` is given, and the level index.
std::vector<std::pair<std::string, std::string>> request_pairs(const Request &request, bool design,
                                                               const Horn *horn);

// The header row of a table of the schema (kColumns_design, ... of the
// generated csv_columns.hpp): "{unit}" named by IUNIT, each "{level}" by the
// next of LEVCOL.
std::string columns(const char *names, std::int32_t IUNIT, std::span<const float> LEVCOL = {});
// "yes" or "no", as the schema writes a flag.
inline const char *flag(bool value) {
  return value ? "yes" : "no";
}

} // namespace kelvor::web::csv
