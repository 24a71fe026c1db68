// Minimal R12 ASCII DXF: a HEADER naming the release, and an ENTITIES section of one POLYLINE.
// A DXF file is a sequence of group-code / value pairs, one per line each (AutoCAD R12 DXF
// reference): code 0 starts an entity, 8 names its layer, 10/20/30 are x/y/z, 66 = 1 says vertices
// follow, 70 = 1 closes the polyline.
#include "asbuilt/dxf.hpp"
#include "asbuilt/read_double.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

namespace kelvor::asbuilt {

namespace {

constexpr double kMmPerM = 1000.0;

void pair(std::string &out, int code, std::string_view value) {
  out += std::to_string(code);
  out += '\n';
  out += value;
  out += '\n';
}

std::string number(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", x);
  return buffer;
}

void vertex(std::string &out, double x_mm, double y_mm) {
  pair(out, 0, "VERTEX");
  pair(out, 8, "0");
  pair(out, 10, number(x_mm));
  pair(out, 20, number(y_mm));
  pair(out, 30, "0");
}

// The group-value pairs of a DXF text, values with their surrounding blanks removed.
struct Group {
  int code;
  std::string_view value;
};

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos)
    return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool next_line(std::string_view &text, std::string_view &line) {
  if (text.empty())
    return false;
  const auto end = text.find('\n');
  line = trimmed(text.substr(0, end));
  text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  return true;
}

// The vertices of the first POLYLINE, or why there are none.
DxfError polyline_vertices(std::string_view text, std::vector<std::pair<double, double>> &points) {
  bool in_polyline = false, in_vertex = false;
  std::string_view code_line, value;
  while (next_line(text, code_line)) {
    int code = 0;
    const auto [ptr, ec] =
        std::from_chars(code_line.data(), code_line.data() + code_line.size(), code);
    if (ec != std::errc{} || ptr != code_line.data() + code_line.size() || !next_line(text, value))
      return DxfError::not_dxf;
    if (code == 0) {
      if (value == "POLYLINE") {
        in_polyline = true;
      } else if (in_polyline && value == "VERTEX") {
        if (points.size() == kMaxDxfVertices)
          return DxfError::too_large;
        points.emplace_back(std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::quiet_NaN());
        in_vertex = true;
      } else if (in_polyline && value == "SEQEND") {
        return DxfError::none;
      } else {
        in_vertex = false;
      }
    } else if (in_vertex && (code == 10 || code == 20)) {
      double &x = code == 10 ? points.back().first : points.back().second;
      if (!read_double(value, x))
        return DxfError::not_dxf;
    }
  }
  return DxfError::no_polyline;
}

} // namespace

std::string half_section_dxf(const modal::Profile &profile) {
  if (profile.empty())
    return {};
  for (const modal::Section &s : profile)
    if (!(std::isfinite(s.length_m) && s.length_m > 0 && std::isfinite(s.radius_m) &&
          s.radius_m > 0))
      return {};
  std::string out;
  pair(out, 0, "SECTION");
  pair(out, 2, "HEADER");
  pair(out, 9, "$ACADVER");
  pair(out, 1, "AC1009");
  pair(out, 0, "ENDSEC");
  pair(out, 0, "SECTION");
  pair(out, 2, "ENTITIES");
  pair(out, 0, "POLYLINE");
  pair(out, 8, "0");
  pair(out, 66, "1");
  pair(out, 10, "0");
  pair(out, 20, "0");
  pair(out, 30, "0");
  pair(out, 70, "1");
  double z = 0;
  vertex(out, 0, 0);
  for (const modal::Section &s : profile) {
    vertex(out, z * kMmPerM, s.radius_m * kMmPerM);
    z += s.length_m;
    vertex(out, z * kMmPerM, s.radius_m * kMmPerM);
  }
  vertex(out, z * kMmPerM, 0);
  pair(out, 0, "SEQEND");
  pair(out, 8, "0");
  pair(out, 0, "ENDSEC");
  pair(out, 0, "EOF");
  return out;
}

DxfProfile read_half_section_dxf(std::string_view text) {
  DxfProfile result;
  std::vector<std::pair<double, double>> p;
  result.error = polyline_vertices(text, p);
  if (result.error != DxfError::none)
    return result;
  // (0, 0), pairs of corners at one radius, (z_end, 0); each section's corners start where the
  // last ended.
  const std::size_t n = p.size();
  bool ok = n >= 4 && n % 2 == 0 && p[0].first == 0 && p[0].second == 0 && p[n - 1].second == 0 &&
            p[n - 1].first == p[n - 2].first;
  for (std::size_t i = 1; ok && i + 1 < n; i += 2) {
    const double length_mm = p[i + 1].first - p[i].first;
    ok = p[i + 1].second == p[i].second && length_mm > 0 && p[i].second > 0 &&
         p[i].first == p[i - 1].first;
    result.profile.push_back({length_mm / kMmPerM, p[i].second / kMmPerM});
  }
  if (!ok) {
    result.profile.clear();
    result.error = DxfError::not_half_section;
  }
  return result;
}

} // namespace kelvor::asbuilt
