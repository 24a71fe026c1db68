#include "web/bits.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "rows/row_count.hpp"
#include "rows/rows.hpp"
#include "web/core.hpp"

namespace kelvor::web {

namespace {

// The blank-separated words of a line, each read as one typed number.
bool read_numbers(std::string_view line, std::vector<float> &out) {
  while (!line.empty()) {
    const std::size_t begin = line.find_first_not_of(' ');
    if (begin == std::string_view::npos)
      break;
    line.remove_prefix(begin);
    const std::size_t end = std::min(line.find(' '), line.size());
    const Number n = read_number(line.substr(0, end));
    if (n.status != NumberStatus::ok)
      return false;
    out.push_back(n.value);
    line.remove_prefix(end);
  }
  return true;
}

void put_bits(std::string &out, std::int64_t k, std::initializer_list<float> values) {
  std::array<char, 16> word{};
  std::snprintf(word.data(), word.size(), "%lld", static_cast<long long>(k));
  out += word.data();
  for (const float v : values) {
    // memcpy, not std::bit_cast: the WebAssembly toolchain's library lacks it.
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    std::snprintf(word.data(), word.size(), " %08x", static_cast<unsigned>(bits));
    out += word.data();
  }
  out += '\n';
}

std::int32_t level_index(float LEVUSR, float KLEV) {
  return KLEV == 0.0f ? rows::nominal_level_index(LEVUSR) : static_cast<std::int32_t>(KLEV);
}

} // namespace

std::string grid_bits(std::string_view line) {
  const bool design = line.starts_with("design ");
  const bool response = line.starts_with("response ");
  const bool cut = line.starts_with("pattern ");
  std::vector<float> v;
  if (!(design || response || cut) || !read_numbers(line.substr(line.find(' ')), v) ||
      v.size() != (cut ? 7u : 8u))
    return "bad grid line\n";
  const auto IUNIT = static_cast<std::int32_t>(v[0]);
  std::string out;
  if (cut) {
    const RowRange range{v[4], v[6], 1, rows::row_count(v[4], v[5], v[6])};
    for (const horn::PatternPoint &p : pattern({IUNIT}, {v[2], v[3]}, v[1], range))
      put_bits(out, 0, {p.THETA, p.LEVEL, p.PHASE});
    return out;
  }
  const std::int32_t n = rows::row_count(v[5], v[6], v[7]);
  if (design) {
    const rows::DesignRequest request{v[1], v[2],
                                      rows::column_levels(v[3], level_index(v[3], v[4])), IUNIT};
    for (std::int64_t k = 1; k <= n; ++k) {
      const rows::DesignRow r = rows::design_row(request, rows::row_value(k, v[5], v[7]));
      const auto &p = r.printed;
      put_bits(out, k,
               {r.PHDEV, r.BWNOM, r.ARADWL, r.BW10, r.ARAD, r.SRAD, r.PCTR, r.GAINDB, p[0], p[1],
                p[2], p[3], p[4]});
    }
    return out;
  }
  const rows::ResponseRequest request{rows::to_inches(v[3], IUNIT), rows::to_inches(v[4], IUNIT),
                                      rows::column_levels(v[1], level_index(v[1], v[2])), IUNIT};
  for (std::int64_t k = 1; k <= n; ++k) {
    const rows::ResponseRow r = rows::response_row(request, rows::row_value(k, v[5], v[7]));
    const auto &p = r.printed;
    put_bits(out, k,
             {r.FRESP, r.WAVELR, r.ARADWL, r.SRADWL, r.PHDEV, r.BW10, r.PCTR, r.GAINDB, p[0], p[1],
              p[2], p[3], p[4], p[5], p[6]});
  }
  return out;
}

} // namespace kelvor::web
