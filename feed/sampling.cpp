#include "feed/sampling.hpp"

#include <boost/math/quadrature/gauss.hpp>

namespace kelvor::feed {

void sample_pattern(const FeedPattern &pattern, double lo_rad, double hi_rad, std::size_t panels,
                    AngularSamples &samples) {
  using Rule = boost::math::quadrature::gauss<double, 20>;
  const auto &x = Rule::abscissa(); // the non-negative half, ascending, of an even rule
  const auto &w = Rule::weights();
  const double half = (hi_rad - lo_rad) / (2 * static_cast<double>(panels));
  for (std::size_t p = 0; p < panels; ++p) {
    const double mid = lo_rad + (2 * static_cast<double>(p) + 1) * half;
    // Lower half of the panel from its left end inwards, then the upper half outwards.
    for (std::size_t i = x.size(); i-- > 0;) {
      samples.theta_rad.push_back(mid - half * x[i]);
      samples.weight_rad.push_back(half * w[i]);
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
      samples.theta_rad.push_back(mid + half * x[i]);
      samples.weight_rad.push_back(half * w[i]);
    }
  }
  samples.field.reserve(samples.theta_rad.size());
  for (std::size_t i = samples.field.size(); i < samples.theta_rad.size(); ++i)
    samples.field.push_back(pattern(samples.theta_rad[i]));
}

} // namespace kelvor::feed
