// The phase centre of a sampled far field by weighted linear least squares, in double precision.
#pragma once

#include <complex>
#include <optional>
#include <span>

namespace kelvor::numeric {

// Sign convention: the phase centre d (m) lies on the axis at the distance d from the phase
// reference of the field toward the source's interior (for a horn: from the aperture plane
// toward the apex). A point source there, time dependence exp(+j omega t), has the far-field
// phase phi0 - k d cos theta when referred to the reference point.
//
// The field F at ascending angles theta (radians, from near the axis) with quadrature weights
// (radians, as numeric/composite_gauss gives them): its phase is unwrapped along the samples
// (each step taken in (-pi, pi], so neighbours must differ by well under half a cycle) and fitted
// to phi0 - k d cos theta, each sample weighted by the power in its ring of solid angle,
// weight * |F|^2 * sin theta. d in metres for the wavenumber k in rad/m. The fit is closed form
// (the normal equations of a straight line in cos theta): a point source displaced by d gives d
// to rounding (numeric_model_test). nullopt when the three spans differ in length, k is not
// finite and positive, or the weighted angles do not determine a line (fewer than two distinct
// angles with power).
std::optional<double> fitted_phase_centre_m(std::span<const double> theta_rad,
                                            std::span<const double> weight_rad,
                                            std::span<const std::complex<double>> field,
                                            double wavenumber_per_m);

} // namespace kelvor::numeric
