// Composite 20-point Gauss-Legendre nodes from Boost.Math's tables (the non-negative half of the
// symmetric rule), mirrored about each panel's middle.
#include "numeric/composite_gauss.hpp"

#include <boost/math/quadrature/gauss.hpp>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace kelvor::numeric {

namespace {

using Rule = boost::math::quadrature::gauss<double, 20>;
// An even rule: no node at a panel's middle, so each abscissa serves both halves.
static_assert(std::tuple_size_v<std::remove_cvref_t<decltype(Rule::abscissa())>> == 10);

} // namespace

void append_composite_gauss(double lo, double hi, std::size_t panels, QuadratureNodes &nodes) {
  const auto &x = Rule::abscissa();
  const auto &w = Rule::weights();
  const double half = (hi - lo) / (2 * static_cast<double>(panels));
  nodes.node.reserve(nodes.node.size() + 2 * x.size() * panels);
  nodes.weight.reserve(nodes.weight.size() + 2 * x.size() * panels);
  for (std::size_t p = 0; p < panels; ++p) {
    const double mid = lo + (2 * static_cast<double>(p) + 1) * half;
    // Lower half of the panel from its left end inwards, then the upper half outwards.
    for (std::size_t i = x.size(); i-- > 0;) {
      nodes.node.push_back(mid - half * x[i]);
      nodes.weight.push_back(half * w[i]);
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
      nodes.node.push_back(mid + half * x[i]);
      nodes.weight.push_back(half * w[i]);
    }
  }
}

QuadratureNodes composite_gauss(double lo, double hi, std::size_t panels) {
  QuadratureNodes nodes;
  append_composite_gauss(lo, hi, panels, nodes);
  return nodes;
}

std::optional<std::size_t> panels_for_turn(double turn_rad, double turn_per_panel_rad,
                                           std::size_t max_panels) {
  if (!(turn_rad >= 0 && turn_per_panel_rad > 0))
    return std::nullopt;
  const double needed = std::ceil(turn_rad / turn_per_panel_rad);
  if (!(needed <= static_cast<double>(max_panels)))
    return std::nullopt;
  return std::max<std::size_t>(1, static_cast<std::size_t>(needed));
}

} // namespace kelvor::numeric
