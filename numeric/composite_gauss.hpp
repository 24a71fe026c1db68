// Composite Gauss-Legendre quadrature in double precision: equal panels of Boost.Math's
// 20-point rule over an interval, and the panel count that a function of a stated turn needs.
// The model-true paths (feed/, modal/) sample their integrands once at these nodes and reuse
// the samples; the exact path's single-precision rules are numeric/glint, not these.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace kelvor::numeric {

// Nodes in ascending order and their weights: integral of f over the covered interval
// = sum of weight[i] * f(node[i]).
struct QuadratureNodes {
  std::vector<double> node, weight;
};

// The 20 nodes of each of `panels` equal panels over [lo, hi], appended in ascending order.
// Exact for polynomials of degree 39 on each panel; for a smooth integrand whose phase or
// kernel turns by at most about 12 radians across a panel, relative errors near 1e-15
// (feed/pattern.hpp states the measurement).
void append_composite_gauss(double lo, double hi, std::size_t panels, QuadratureNodes &nodes);
QuadratureNodes composite_gauss(double lo, double hi, std::size_t panels);

// The panel rule: the fewest equal panels (at least one) across each of which an integrand that
// turns by turn_rad radians in all turns by at most turn_per_panel_rad; nullopt when that would
// be more than max_panels or the turn is not finite and non-negative, so that a caller refuses
// the work before it starts.
std::optional<std::size_t> panels_for_turn(double turn_rad, double turn_per_panel_rad,
                                           std::size_t max_panels);

} // namespace kelvor::numeric
