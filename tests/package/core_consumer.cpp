// The core alone (no oneTBB, no C++ standard of the consumer's own): the 10 GHz row of
// the dialogue's inches example through the installed row layer.
#include <cstdio>
#include <cstring>

#include "rows/rows.hpp"

int main() {
  using namespace kelvor::rows;
  const ResponseRow row = response_row({2.6118f, 28.8985f, column_levels(10, 3), INCHES}, 10);
  const auto &p = row.printed;
  char line[100];
  std::snprintf(line, sizeof line, " %8.4f  %6.1f  %6.1f  %6.1f  %6.1f  %7.2f  %7.3f", double{p[0]},
                double{p[1]}, double{p[2]}, double{p[3]}, double{p[4]}, double{p[5]}, double{p[6]});
  std::printf("%s\n", line);
  return std::strcmp(line, "  10.0000    17.1    23.8    30.0    40.0    21.17    0.939") != 0;
}
