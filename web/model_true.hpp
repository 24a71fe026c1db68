// The model-true companions of the tables (feed/, double precision): the horn
// the model itself designs at each phase deviation of the design table, and the
// dish efficiencies of the chosen horn over a range of focal ratios.
#pragma once

#include <string>
#include <vector>

#include "web/core.hpp"

namespace kelvor::web {

// The model-true design at the phase deviations of `range`: lines of a
// monospace table (S, aperture and slant radius in the request's unit, and why
// a row has no horn) and the same rows as CSV, to full double precision. The
// heading names the columns.
Block model_design_heading(const Request &request);
Block model_design_block(const Request &request, const RowRange &range);

// Why the dish curve of a horn is not computed ("" when it is): the horn is not
// a horn, or its pattern integral would take more work than the page allows.
std::string dish_refusal(const Request &request, const Horn &horn, float FREQ);

// The horn at FREQ GHz on paraboloids of focal ratio f/D over `range`, each
// with the feed at the position of its highest aperture efficiency (feed
// position in the request's unit).
struct DishCurve {
  std::vector<double> f_over_d, aperture, spillover, illumination, phase, feed_position,
      edge_illumination_db;
  std::string csv;
};
// The horn's aperture phase deviation S (cycles) at FREQ GHz.
double horn_phase_deviation(const Request &request, const Horn &horn, float FREQ);
// The CSV's request block and column names.
std::string dish_heading(const Request &request, const Horn &horn, float FREQ);
DishCurve dish_curve(const Request &request, const Horn &horn, float FREQ, const RowRange &range);

} // namespace kelvor::web
