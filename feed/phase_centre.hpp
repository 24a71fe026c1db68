// Phase centre of the horn's pattern over a chosen angle, in double precision.
#pragma once

#include <cstddef>
#include <optional>

#include "feed/failure.hpp"
#include "feed/pattern.hpp"
#include "feed/sampling.hpp"
#include "feed/validity.hpp"

namespace kelvor::feed {

// Sign convention: a phase centre is a distance (m) from the aperture plane toward the apex,
// positive inside the horn. A point source there, seen with the phase referenced at the centre
// of the aperture, has the far-field phase phi0 - k d cos theta (time dependence
// exp(+j omega t), as HornPattern), so HornPattern::field(theta, d) is flat in theta.
struct PhaseCentre {
  // Classic axis-to-edge definition: the phase change from the axis to the edge angle theta_e
  // equals that of a point source, phase(theta_e) - phase(0) = k d (1 - cos theta_e).
  double axis_to_edge_m = kNaN;
  // Least-squares fit of the phase to phi0 - k d cos theta over 0..theta_e, weighted by the
  // power in each ring of solid angle, |F|^2 sin theta d theta.
  double fitted_m = kNaN;
  Failure failure = Failure::none;
  Validity validity = Validity::valid; // of the horn at the frequency (feed/validity.hpp)
};

// Both phase centres of the pattern over 0..edge_rad (0 < edge_rad <= pi). The phase is sampled at
// the nodes of a composite Gauss-Legendre rule dense enough that it turns by far less than half a
// cycle between neighbours, and unwrapped along them; an angle range that holds a null of the
// pattern carries its half-cycle phase step into both results.
PhaseCentre phase_centre(const HornPattern &pattern, double edge_rad);
PhaseCentre phase_centre(const Horn &horn, double freq_ghz, double edge_rad);

// The fitted phase centre (m) of the first `count` samples (ascending angles from near the axis),
// for the wavenumber k (rad/m): the fit of phase_centre (numeric::fitted_phase_centre_m) on
// samples taken elsewhere; nullopt where the samples determine no fit.
std::optional<double> fitted_phase_centre(const AngularSamples &samples, std::size_t count,
                                          double k);

// Composite panels over an angle range of `span_rad` for a pattern whose field turns at most
// `turn_rate` radians per radian of angle: the density the efficiency and phase-centre
// integrals use (numeric::panels_for_turn at 6 radians per panel), at most 512 panels, which no
// horn inside kMaxApertureTurn reaches (about 110 over pi radians at the limit).
std::size_t panels_for(double span_rad, double turn_rate);

} // namespace kelvor::feed
