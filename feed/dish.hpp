// A prime-focus paraboloid illuminated by a rotationally symmetric feed: Silver's aperture
// efficiency and its factors, in double precision.
#pragma once

#include <cstddef>
#include <functional>

#include "feed/failure.hpp"
#include "feed/pattern.hpp"
#include "feed/sampling.hpp"

namespace kelvor::feed {

// The half-angle theta0 (radians) the rim of a paraboloid of focal ratio f/D subtends at its
// focus: 2 atan(1 / (4 f/D)).
double dish_half_angle_rad(double f_over_d);

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
// (Silver, Microwave Antenna Theory and Design, 1949, sec. 12.8; the gain function normalised
// to 4 pi over the sphere). The integrals cover the whole sphere, 0..pi: the pattern is sampled
// once at the nodes of composite 20-point Gauss-Legendre rules on the segments
// [0, theta0], [theta0, pi/2], [pi/2, pi] (a feed whose pattern ends at pi/2 keeps full order),
// with `panels_per_radian` panels per radian on each. Accuracy: the ideal cos^n feed,
// F = cos^(n/2) theta in the forward hemisphere, gives the closed form to 1e-12 (feed_test).
// The feed sits with the point its phase is referenced to at the focus; moving it a distance d
// toward its apex multiplies F by exp(+j k d cos theta), `phase_slope_rad` = k d, without
// sampling the pattern again (the amplitude does not change).
class SilverIntegrals {
public:
  SilverIntegrals(const FeedPattern &pattern, double half_angle_rad, double panels_per_radian);
  // As above, with the panels of each segment given by panels(span_rad) (the horn's density).
  template <class Panels>
  SilverIntegrals(const FeedPattern &pattern, double half_angle_rad, Panels panels);

  Efficiencies at(double phase_slope_rad) const;
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

// The dish as the horn illuminates it at one frequency.
struct DishEfficiency {
  Efficiencies efficiency;
  // The focus's distance from the horn's aperture plane toward the apex (m): the sign
  // convention of PhaseCentre; 0 puts the aperture plane at the focus.
  double feed_position_m = kNaN;
  double half_angle_deg = kNaN;       // theta0
  double feed_edge_level_db = kNaN;   // the horn's pattern at theta0, dB relative to its axis
  double space_attenuation_db = kNaN; // 20 log10((1 + cos theta0) / 2), the path to the rim
  double edge_illumination_db = kNaN; // at the rim relative to the vertex: the sum of the two
  Failure failure = Failure::none;
};

// The horn's pattern on the dish of focal ratio f_over_d, sampled once (HornPattern, whole
// sphere) with 1 + (k a + 4 pi S + 2 pi) span / 6 panels on each segment; then the efficiencies
// at any feed position, and the position of the highest aperture efficiency.
// Accuracy, measured by tripling the panel density (a from 0.4 to 20 wavelengths, S 0 to 2,
// f/D 0.25 to 3, the feed at the aperture plane and at the optimum): aperture efficiency and
// spillover change by less than 1e-13. Illumination and phase separately integrate |F|, which has
// a kink at a null of a real pattern (S = 0): where such a null lies inside the dish they change
// by up to 1e-3 (their product stays exact); elsewhere by less than 1e-13.
class HornOnDish {
public:
  HornOnDish(const Horn &horn, double freq_ghz, double f_over_d);

  Failure failure() const { return failure_; }
  // With the focus at feed_position_m from the aperture plane toward the apex.
  DishEfficiency at(double feed_position_m) const;
  // At the feed position that maximises the aperture efficiency (best_feed_position about the
  // fitted phase centre, one cycle of rim phase either side). A feed with nulls inside the dish
  // can have several maxima in position (a real pattern's efficiency is even in d); the one
  // returned is the best within that window.
  DishEfficiency optimum() const;
  // The fitted phase centre over 0..theta0 (m), the start of the optimum's search.
  double fitted_phase_centre_m() const;
  // The width of the efficiency peak in feed position, one cycle of phase at the rim:
  // k d (1 - cos theta0) = 2 pi.
  double peak_width_m() const;

private:
  HornOnDish(const HornPattern &pattern, double f_over_d);

  double k_, theta0_, edge_level_db_;
  Failure failure_;
  SilverIntegrals silver_;
};

// The feed position (m) that maximises efficiency(d): Brent's minimiser (Boost.Math, to about
// 1e-8 relative) between the neighbours of the best of 17 samples spaced width_m / 8 about start_m.
double best_feed_position(const std::function<double(double)> &efficiency, double start_m,
                          double width_m);

// Both in one call: the efficiencies at feed_position_m, or at the optimum position when it is
// NaN.
DishEfficiency dish_efficiency(const Horn &horn, double freq_ghz, double f_over_d,
                               double feed_position_m = kNaN);

} // namespace kelvor::feed
