// A prime-focus paraboloid fed by the horn as built: feed/'s Silver integrals on the mode-matched
// pattern, with the polarisation efficiency computed from the co- and cross-polar powers.
//
// An azimuthal-order-1 feed radiates E_co = e cos^2(phi) + h sin^2(phi) and E_cross = (e - h)
// sin(phi) cos(phi) (Ludwig 3), e and h its E- and H-plane fields. The dish's focused field is the
// phi-average of E_co, CO = (e + h)/2, which is also the 45-degree co-polar field, and the cross-
// polar power averaged over phi is that of XP = (e - h)/2, the 45-degree cross-polar field
// (P.-S. Kildal, "Factorization of the feed efficiency of paraboloids and Cassegrain antennas",
// IEEE Trans. AP-33(8), 1985). So, with P_in and P_all the powers over 0..theta_0 and 0..pi
// (|F|^2 sin theta integrated):
//   spillover    = (P_in(CO) + P_in(XP)) / (P_all(CO) + P_all(XP)),
//   polarisation = P_in(CO) / (P_in(CO) + P_in(XP)),
//   illumination and phase: feed::SilverIntegrals on CO,
//   aperture     = SilverIntegrals(CO).aperture P_all(CO) / (P_all(CO) + P_all(XP)),
// and aperture = spillover polarisation illumination phase. The integrals are feed/'s composite
// Gauss-Legendre rule on CO and XP at the same nodes; accuracy (dish_test): the cos feed's closed
// form to 1e-12, and 1 / (1 + eps^2) for the polarisation efficiency of e = (1 + eps) F,
// h = (1 - eps) F, to 1e-14. On a mode-matched aperture (TE11, 1.2 wavelengths, f/D 0.4) the
// sampling of k a + 6 pi radians of turn gives the aperture efficiency within 1e-15 of three times
// as dense a sampling, and the polarisation efficiency (0.937) that of an adaptive Gauss-Kronrod
// quadrature of the two powers to rounding.
#pragma once

#include <functional>

#include "feed/dish.hpp"
#include "modal/analysis.hpp"
#include "modal/aperture_field.hpp"
#include "modal/radiation.hpp"

namespace kelvor::asbuilt {

// The E- and H-plane fields of the feed against theta (radians, 0..pi), phase referred to the
// aperture plane.
using PlanePattern = std::function<modal::PlaneFields(double theta_rad)>;

class RealHornOnDish {
public:
  // A feed of wavenumber k (rad/m) whose fields turn at most turn_rate radians per radian of theta
  // (the sampling density: k a plus a few cycles), on a dish of focal ratio f_over_d.
  RealHornOnDish(const PlanePattern &planes, double wavenumber_per_m, double turn_rate,
                 double f_over_d);
  // The mode-matched aperture (modal::Radiator's far field).
  RealHornOnDish(const modal::ApertureField &aperture, double f_over_d);

  // invalid_input for an f/D, wavenumber or turn rate not finite and positive or an aperture
  // modal::check_aperture refuses; null_on_axis when CO vanishes on the axis.
  feed::Failure failure() const { return failure_; }
  // With the focus at feed_position_m from the aperture plane toward the apex (feed/'s sign).
  feed::DishEfficiency at(double feed_position_m) const;
  // At the feed position of the highest aperture efficiency, sought about the fitted phase centre
  // of CO over the dish (feed::best_feed_position).
  feed::DishEfficiency optimum() const;
  double fitted_phase_centre_m() const;

private:
  RealHornOnDish(const PlanePattern &planes, double wavenumber_per_m, double turn_rate,
                 double f_over_d, bool valid);

  double k_, theta0_;
  feed::Failure failure_;
  double edge_level_db_ = feed::kNaN;
  feed::SilverIntegrals co_, cross_;
  double co_in_ = 0, co_all_ = 0, cross_in_ = 0, cross_all_ = 0;
};

// The horn of this profile on the dish at freq_ghz, at its best feed position: modal::analyse, then
// RealHornOnDish::optimum. Where the analysis has no answer the figures are NaN and the failure is
// the analysis's own where feed/ names it (too_much_work, not_converged), else invalid_input.
feed::DishEfficiency profile_on_dish(const modal::Profile &profile, double freq_ghz,
                                     double f_over_d);

} // namespace kelvor::asbuilt
