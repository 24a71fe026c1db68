// Silver's aperture efficiency of a prime-focus paraboloid and its factors, for a sampled
// rotationally symmetric feed pattern, in double precision.
#pragma once

#include <cstddef>
#include <vector>

#include "feed/sampling.hpp"
#include "feed/units.hpp"

namespace kelvor::feed {

// Efficiencies (fractions, 0..1). aperture = spillover * illumination * phase * polarisation.
struct Efficiencies {
  double spillover = kNaN;    // power inside theta0 over the power on the whole sphere
  double illumination = kNaN; // amplitude taper across the dish aperture
  double phase = kNaN;        // phase error across the dish aperture
  double polarisation = kNaN; // 1: the balanced hybrid mode radiates no cross-polar field
  double aperture = kNaN;     // Silver's aperture efficiency
};

// Silver's integrals for a feed of any rotationally symmetric complex pattern F(theta) (its
// E- and H-plane cuts equal, no cross-polar field) on a paraboloid of half-angle theta0:
//   aperture = 2 cot^2(theta0/2) |int_0^theta0 F tan(theta/2) dtheta|^2 / int_0^pi |F|^2 sin,
//   spillover = int_0^theta0 |F|^2 sin / int_0^pi |F|^2 sin,
//   illumination = 2 cot^2(theta0/2) (int_0^theta0 |F| tan(theta/2))^2 / int_0^theta0 |F|^2 sin,
//   phase = |int_0^theta0 F tan(theta/2)|^2 / (int_0^theta0 |F| tan(theta/2))^2
// (Silver, Microwave Antenna Theory and Design, 1949: the aperture efficiency of a paraboloid
// in terms of the feed's gain function, normalised to 4 pi over the sphere). The integrals
// cover the whole sphere, 0..pi: the pattern is sampled once at the nodes of composite 20-point
// Gauss-Legendre rules on the segments 0..theta0..pi/2..pi (theta0 and pi/2 in either order; a
// feed whose pattern ends at pi/2 keeps full order), with `panels_per_radian` panels per radian
// (rounded up) on each. Accuracy: the ideal cos^2 feed, F = cos theta in the forward
// hemisphere, gives the closed form 24 (sin^2(theta0/2) + ln cos(theta0/2))^2 cot^2(theta0/2)
// to 1e-12 (feed_test).
// F is referenced to the point of the feed that sits at the focus. With the focus instead at
// the distance d from that point toward the feed's apex, the pattern referenced to the focus is
// F exp(+j k d cos theta): at(k d) gives it without sampling again (the amplitude is the same).
class SilverIntegrals {
public:
  SilverIntegrals(const FeedPattern &pattern, double half_angle_rad, double panels_per_radian);
  // As above, with the panels of each segment given by panels(span_rad) (the horn's density).
  template <class Panels>
  SilverIntegrals(const FeedPattern &pattern, double half_angle_rad, Panels panels);

  Efficiencies at(double phase_slope_rad) const;
  // The aperture efficiency at the phase slopes first + i step, i < count: at(...).aperture to
  // about 1e-12 (each step turns the samples by a product, not a new exponential), for a scan
  // of thousands of feed positions at the cost of a few multiplications each.
  std::vector<double> aperture_scan(double first_rad, double step_rad, std::size_t count) const;
  // The samples inside the dish, theta 0..theta0 ascending.
  const AngularSamples &samples() const { return samples_; }
  std::size_t inside() const { return inside_; }
  double half_angle_rad() const { return theta0_; }

private:
  void sample(const FeedPattern &pattern, std::size_t p0, std::size_t p1, std::size_t p2);

  double theta0_;
  AngularSamples samples_;
  std::size_t inside_ = 0;
  double power_inside_ = 0, power_total_ = 0, amplitude_ = 0;
};

template <class Panels>
SilverIntegrals::SilverIntegrals(const FeedPattern &pattern, double half_angle_rad, Panels panels)
    : theta0_(half_angle_rad) {
  const double mid = kPi / 2;
  const double lo = theta0_ < mid ? theta0_ : mid;
  const double hi = theta0_ < mid ? mid : theta0_;
  sample(pattern, panels(lo), panels(hi - lo), panels(kPi - hi));
}

} // namespace kelvor::feed
