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

// The work limit of the page's dish curve. The cost of one dish grows with the
// turn of the aperture integrand, k a + 4 pi S (feed/pattern.hpp: the panels of
// the pattern integral, the samples of the dish and the field values all grow
// with it), faster than its square: in WebAssembly under node on one core of a
// 2020s desktop one focal ratio takes 0.07 s at a turn of 59, 0.33 s at 117,
// 0.55 s at 176 and 2.1 s at 234. The curve has 56 focal ratios, so a turn of
// at most 128 (an aperture of 20 wavelengths at S = 0) keeps it under about 20
// s, a phone's few times that; feed/ itself refuses beyond kMaxApertureTurn.
inline constexpr double kDishMaxApertureTurn = 128;

// Why the dish curve of a horn is not computed ("" when it is): the horn is not
// a horn, or its pattern integral would take more work than the page allows.
std::string dish_refusal(const Request &request, const Horn &horn, float FREQ);
// Where the model stops for the horn at FREQ GHz: "valid", or the first limit
// it breaks (feed/validity.hpp).
std::string horn_validity(const Request &request, const Horn &horn, float FREQ);

// The horn at FREQ GHz on paraboloids of focal ratio f/D over `range`, each
// with the feed at the position of its highest aperture efficiency (feed
// position in the request's unit).
struct DishCurve {
  std::vector<double> f_over_d, aperture, spillover, illumination, phase, feed_position;
  std::string csv;
};
// The horn's aperture phase deviation S (cycles) at FREQ GHz.
double horn_phase_deviation(const Request &request, const Horn &horn, float FREQ);
// The CSV's request block and column names.
std::string dish_heading(const Request &request, const Horn &horn, float FREQ);
DishCurve dish_curve(const Request &request, const Horn &horn, float FREQ, const RowRange &range);

} // namespace kelvor::web
