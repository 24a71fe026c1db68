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
// a row has no horn) and the same rows as CSV. The heading names the columns.
Block model_design_heading(const Request &request);
Block model_design_block(const Request &request, const RowRange &range);

// The horn at FREQ GHz on paraboloids of focal ratio f/D over `range`, each
// with the feed at the position of its highest aperture efficiency.
struct DishCurve {
  std::vector<double> f_over_d, aperture, spillover, illumination, phase;
  std::string csv;
};
DishCurve dish_curve(const Request &request, const Horn &horn, float FREQ, const RowRange &range);

} // namespace kelvor::web
