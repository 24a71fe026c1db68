#include "feed/sampling.hpp"

namespace kelvor::feed {

void sample_pattern(const FeedPattern &pattern, double lo_rad, double hi_rad, std::size_t panels,
                    AngularSamples &samples) {
  numeric::QuadratureNodes nodes{std::move(samples.theta_rad), std::move(samples.weight_rad)};
  numeric::append_composite_gauss(lo_rad, hi_rad, panels, nodes);
  samples.theta_rad = std::move(nodes.node);
  samples.weight_rad = std::move(nodes.weight);
  samples.field.reserve(samples.theta_rad.size());
  for (std::size_t i = samples.field.size(); i < samples.theta_rad.size(); ++i)
    samples.field.push_back(pattern(samples.theta_rad[i]));
}

} // namespace kelvor::feed
