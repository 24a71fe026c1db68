#include "web/model_true.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "feed/design.hpp"
#include "feed/failure.hpp"
#include "feed/horn_on_dish.hpp"
#include "feed/pattern.hpp"
#include "feed/validity.hpp"
#include "rows/row_count.hpp"
#include "rows/units.hpp"
#include "web/csv.hpp"
#include "web/csv_columns.hpp"

namespace kelvor::web {

namespace {

// The inch, exactly, by its definition.
constexpr double kMetresPerInch = 0.0254;

double metres_per_unit(const Request &request) {
  return request.IUNIT == rows::CENTIMETRES ? kMetresPerInch / 2.54 : kMetresPerInch;
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

// A length for the CSV: full precision, "inf" for the flat phase front.
std::string length_cell(double metres, double per_unit) {
  return std::isinf(metres) ? "inf" : csv::full(metres / per_unit);
}

// The schema's valid and validity_reason cells.
std::string validity_cells(feed::Validity validity) {
  return std::string(csv::flag(validity == feed::Validity::valid)) + "," + feed::describe(validity);
}

feed::Horn model_horn(const Request &request, const Horn &horn) {
  const double per_unit = metres_per_unit(request);
  return {csv::typed_value(horn.aperture) * per_unit, csv::typed_value(horn.slant) * per_unit};
}

} // namespace

Block model_design_heading(const Request &request) {
  const std::string u = unit_name(request.IUNIT);
  return {format("   S    Aperture Radius  Slant Radius   (%s, model-true)\n", u.c_str()),
          csv::request_block(csv::request_pairs(request, true, nullptr)) +
              csv::columns(csv::kColumns_model_design, request.IUNIT)};
}

Block model_design_block(const Request &request, const RowRange &range) {
  const double per_unit = metres_per_unit(request);
  Block block;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    // Each number as typed, and S as its row's shortest decimal (0.05, not the
    // float's 0.0500000007): the model designs at the values its CSV names.
    const float S_row = rows::row_value(k, range.start, range.step);
    const double S = csv::typed_value(S_row);
    const feed::HornDesign d =
        feed::design_horn(csv::typed_value(request.FREQ), csv::typed_value(request.BWUSR),
                          csv::typed_value(request.LEVUSR), S);
    std::string note;
    if (d.failure != feed::Failure::none)
      note = feed::describe(d.failure);
    else if (!d.real_cone)
      note = "slant radius shorter than the aperture radius: no real cone";
    else if (d.validity != feed::Validity::valid)
      note = std::string("outside the model: ") + feed::describe(d.validity);
    block.records +=
        format(" %6.3f  %14s  %12s  %s\n", S, length_text(d.aperture_radius_m, per_unit).c_str(),
               length_text(d.slant_radius_m, per_unit).c_str(), note.c_str());
    block.csv += csv::shortest(S_row) + "," + length_cell(d.aperture_radius_m, per_unit) + "," +
                 length_cell(d.slant_radius_m, per_unit) + "," +
                 csv::full(d.aperture_radius_wavelengths) + "," + csv::flag(d.real_cone) + "," +
                 feed::describe(d.failure) + "," + validity_cells(d.validity) + "\n";
  }
  return block;
}

std::string dish_refusal(const Request &request, const Horn &horn, float FREQ) {
  const feed::Horn model = model_horn(request, horn);
  const double freq_ghz = csv::typed_value(FREQ);
  const feed::Failure failure = feed::check_horn_work(model, freq_ghz);
  if (failure != feed::Failure::none)
    return feed::describe(failure);
  const double turn = feed::wavenumber_per_m(freq_ghz) * model.aperture_radius_m +
                      4 * feed::kPi * feed::phase_deviation(model, freq_ghz);
  if (turn > kDishMaxApertureTurn)
    return format("the horn's aperture integrand turns by k a + 4 pi S = %.1f radians, more than "
                  "the %g that the page integrates in reasonable time",
                  turn, kDishMaxApertureTurn);
  return "";
}

std::string horn_validity(const Request &request, const Horn &horn, float FREQ) {
  return feed::describe(feed::model_validity(model_horn(request, horn), csv::typed_value(FREQ)));
}

double horn_phase_deviation(const Request &request, const Horn &horn, float FREQ) {
  return feed::phase_deviation(model_horn(request, horn), csv::typed_value(FREQ));
}

std::string dish_heading(const Request &request, const Horn &horn, float FREQ) {
  auto pairs = csv::request_pairs(request, false, &horn);
  pairs.resize(3);
  pairs.emplace_back("freq_ghz", csv::shortest(FREQ));
  pairs.emplace_back("feed_position",
                     "the best for each f/D, from the aperture plane toward the apex");
  pairs.emplace_back("validity", horn_validity(request, horn, FREQ));
  return csv::request_block(pairs) + csv::columns(csv::kColumns_dish, request.IUNIT);
}

DishCurve dish_curve(const Request &request, const Horn &horn, float FREQ, const RowRange &range) {
  const double per_unit = metres_per_unit(request);
  const feed::Horn model = model_horn(request, horn);
  DishCurve curve;
  for (std::int64_t k = range.first; k <= range.last; ++k) {
    const double fd = csv::typed_value(rows::row_value(k, range.start, range.step));
    const feed::DishEfficiency d = feed::dish_efficiency(model, csv::typed_value(FREQ), fd);
    const feed::Efficiencies &e = d.efficiency;
    curve.f_over_d.push_back(fd);
    curve.aperture.push_back(e.aperture);
    curve.spillover.push_back(e.spillover);
    curve.illumination.push_back(e.illumination);
    curve.phase.push_back(e.phase);
    curve.feed_position.push_back(d.feed_position_m / per_unit);
    // The schema's dish row: the request, the geometry, then the efficiencies in percent.
    const std::array<double, 13> values = {csv::typed_value(FREQ),
                                           model.aperture_radius_m / per_unit,
                                           model.slant_radius_m / per_unit,
                                           fd,
                                           d.feed_position_m / per_unit,
                                           d.edge_illumination_db,
                                           d.feed_edge_level_db,
                                           d.space_attenuation_db,
                                           100 * e.aperture,
                                           100 * e.spillover,
                                           100 * e.illumination,
                                           100 * e.phase,
                                           100 * e.polarisation};
    for (const double v : values)
      curve.csv += csv::full(v) + ",";
    curve.csv += std::string(feed::describe(d.failure)) + "," + validity_cells(d.validity) + "," +
                 csv::flag(d.optimum_on_bound) + "\n";
  }
  return curve;
}

} // namespace kelvor::web
