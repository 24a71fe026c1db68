#include "web/csv.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "rows/units.hpp"

namespace kelvor::web::csv {

namespace {

std::string printed(const char *pattern, double v) {
  std::array<char, 40> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), pattern, v);
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

} // namespace

std::string shortest(float v) {
  if (!std::isfinite(v))
    return "";
  // The fewest significant digits that read back as v (nine always do), written
  // without an exponent where the value is of an everyday size.
  int digits = 1;
  for (; digits < 9; ++digits) {
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, static_cast<double>(v));
    if (std::strtof(buffer.data(), nullptr) == v)
      break;
  }
  const int exponent = v == 0.0f ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(v))));
  std::array<char, 64> buffer{};
  if (exponent >= -5 && exponent < 9)
    std::snprintf(buffer.data(), buffer.size(), "%.*f", std::max(0, digits - 1 - exponent),
                  static_cast<double>(v));
  else
    std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, static_cast<double>(v));
  return buffer.data();
}

double typed_value(float v) {
  return std::strtod(shortest(v).c_str(), nullptr);
}

std::string count_text(double count) {
  return printed(count < 1e15 ? "%.0f" : "%.3g", count);
}

std::string full(double v) {
  if (!std::isfinite(v))
    return "";
  // 15 significant digits name most doubles; 17 name every one.
  for (int digits = 15; digits < 17; ++digits) {
    std::array<char, 40> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, v);
    if (std::strtod(buffer.data(), nullptr) == v)
      return buffer.data();
  }
  return printed("%.17g", v);
}

std::string request_block(const std::vector<std::pair<std::string, std::string>> &pairs) {
  std::string out;
  for (const auto &[key, value] : pairs)
    out += "# " + key + ": " + value + "\n";
  return out;
}

std::vector<std::pair<std::string, std::string>> request_pairs(const Request &request, bool design,
                                                               const Horn *horn) {
  const std::string unit = unit_name(request.IUNIT);
  std::vector<std::pair<std::string, std::string>> pairs = {{"unit", unit}};
  if (horn != nullptr) {
    pairs.emplace_back("aperture_radius_" + unit, shortest(horn->aperture));
    pairs.emplace_back("slant_radius_" + unit, shortest(horn->slant));
  }
  if (design) {
    pairs.emplace_back("freq_ghz", shortest(request.FREQ));
    pairs.emplace_back("beamwidth_deg", shortest(request.BWUSR));
  }
  pairs.emplace_back("level_db", shortest(request.LEVUSR));
  pairs.emplace_back("level_index", std::to_string(request.KLEV));
  return pairs;
}

std::string columns(const char *names, std::int32_t IUNIT, std::span<const float> LEVCOL) {
  std::string out = names;
  std::size_t level = 0;
  for (std::size_t at = out.find('{'); at != std::string::npos; at = out.find('{', at)) {
    const std::size_t end = out.find('}', at);
    const std::string key = out.substr(at + 1, end - at - 1);
    const std::string value = key == "unit"           ? unit_name(IUNIT)
                              : level < LEVCOL.size() ? shortest(LEVCOL[level++])
                                                      : "";
    out.replace(at, end - at + 1, value);
    at += value.size();
  }
  return out + "\n";
}

} // namespace kelvor::web::csv
