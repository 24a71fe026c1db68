#include "web/model_true.hpp"

#include <array>
#include <cmath>
#include <cstdio>

#include "feed/design.hpp"
#include "feed/dish.hpp"
#include "feed/failure.hpp"
#include "rows/row_count.hpp"

namespace kelvor::web {

namespace {

// The inch, exactly, by its definition.
constexpr double kMetresPerInch = 0.0254;

double metres_per_unit(const Request &request) {
  return request.IUNIT == rows::CENTIMETRES ? kMetresPerInch / 2.54 : kMetresPerInch;
}

std::string unit_name(const Request &request) {
  return request.IUNIT == rows::CENTIMETRES ? "cm" : "in";
}

template <class... Args> std::string format(const char *pattern, Args... args) {
  std::array<char, 160> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), pattern, args...);
  return std::string(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

// A length for the table: Infinity for the flat phase front of S = 0.
std::string length_text(double metres, double per_unit) {
  return std::isinf(metres) ? "Infinity" : format("%.4f", metres / per_unit);
}

} // namespace

Block model_design_heading(const Request &request) {
  const std::string u = unit_name(request);
  return {format("   S    Aperture Radius  Slant Radius   (%s, model-true)\n", u.c_str()),
          "S (cycles),Aperture Radius (" + u + "),Slant Radius (" + u + "),Note\n"};
}

Block model_design_block(const Request &request, const RowRange &range) {
  const double per_unit = metres_per_unit(request);
  Block block;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const float S = rows::row_value(k, range.start, range.step);
    const feed::HornDesign d = feed::design_horn(request.FREQ, request.BWUSR, request.LEVUSR, S);
    std::string note;
    if (d.failure != feed::Failure::none)
      note = feed::describe(d.failure);
    else if (!d.real_cone)
      note = "slant radius shorter than the aperture radius: no real cone";
    const std::string a = length_text(d.aperture_radius_m, per_unit);
    const std::string r = length_text(d.slant_radius_m, per_unit);
    block.records += format(" %6.3f  %14s  %12s  %s\n", static_cast<double>(S), a.c_str(),
                            r.c_str(), note.c_str());
    block.csv += format("%.9g,", static_cast<double>(S)) + a + "," + r + "," + note + "\n";
  }
  return block;
}

DishCurve dish_curve(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const double per_unit = metres_per_unit(request);
  const feed::Horn model{horn.aperture * per_unit, horn.slant * per_unit};
  DishCurve curve;
  curve.csv = "f/D,Aperture efficiency,Spillover,Illumination,Phase\n";
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const double fd = rows::row_value(k, range.start, range.step);
    const feed::Efficiencies e = feed::dish_efficiency(model, FREQ, fd).efficiency;
    curve.f_over_d.push_back(fd);
    curve.aperture.push_back(e.aperture);
    curve.spillover.push_back(e.spillover);
    curve.illumination.push_back(e.illumination);
    curve.phase.push_back(e.phase);
    curve.csv +=
        format("%.4g,%.6f,%.6f,%.6f,%.6f\n", fd, e.aperture, e.spillover, e.illumination, e.phase);
  }
  return curve;
}

} // namespace kelvor::web
