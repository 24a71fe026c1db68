// The Huygens far field against an independent quadrature of the equivalent currents, the
// balanced hybrid mode's low cross-polarisation, power, the phase centre and Ludwig 3's planes.
#include "modal/mode_content.hpp"
#include "modal/radiation.hpp"
#include "modal/units.hpp"

#include <cmath>
#include <numbers>

#include <boost/math/quadrature/gauss.hpp>
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>
#include <gtest/gtest.h>

namespace kelvor::modal {
namespace {

using cplx = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kLambda = 299792458.0 / 10e9; // at 10 GHz
// Zeros of J1' and J1 (Abramowitz & Stegun, table 9.5, to double precision by DLMF 10.21).
constexpr double kTe11 = 1.8411837813406593, kTe12 = 5.3314427735250325, kTm11 = 3.8317059702075123;

ApertureField aperture(double radius_wl, std::vector<cplx> te, std::vector<cplx> tm = {}) {
  return {radius_wl * kLambda, 10, std::move(te), std::move(tm)};
}

// r E_theta, r E_phi of one mode from its equivalent currents J = z^ x H_t, M = -z^ x E_t,
// integrated over the disk (Balanis, "Antenna Theory", eqs. 12-10, 12-12): the contract's field
// built from J1 and J1' directly.
std::pair<cplx, cplx> direct_field(bool te, double x, double radius_wl, double theta, double phi) {
  namespace q = boost::math::quadrature;
  const double a = radius_wl * kLambda, k = 2 * kPi / kLambda, kc = x / a;
  const cplx beta = std::sqrt(cplx(k * k - kc * kc, 0));
  const cplx y = te ? beta / k : k / beta; // eta0 / Z
  const auto transform = [&](int component) {
    return q::gauss<double, 60>::integrate(
        [&](double r) {
          const double s = kc * r, j1s = s > 0 ? boost::math::cyl_bessel_j(1, s) / s : 0.5;
          const double jp = boost::math::cyl_bessel_j_prime(1, s);
          return r * q::gauss<double, 60>::integrate(
                         [&](double p) {
                           const double er = (te ? j1s : jp) * std::cos(p);
                           const double ep = -(te ? jp : j1s) * std::sin(p);
                           const double ex = er * std::cos(p) - ep * std::sin(p);
                           const double ey = er * std::sin(p) + ep * std::cos(p);
                           return (component ? ey : ex) *
                                  std::polar(1.0, k * r * std::sin(theta) * std::cos(p - phi));
                         },
                         0, 2 * kPi);
        },
        0, a);
  };
  const cplx fx = transform(0), fy = transform(1);
  const cplx lx = fy, ly = -fx, nx = -y * fx, ny = -y * fy; // M and eta0 J
  const double cp = std::cos(phi), sp = std::sin(phi), ct = std::cos(theta);
  const cplx jk = cplx(0, k / (4 * kPi));
  return {-jk * ((-lx * sp + ly * cp) + (nx * cp + ny * sp) * ct),
          jk * ((lx * cp + ly * sp) * ct - (-nx * sp + ny * cp))};
}

TEST(Radiation, ClosedFormMatchesApertureQuadrature) {
  const double radius_wl = 1.2, ka = 2 * kPi * radius_wl;
  struct Row {
    bool te;
    int n;
    double x, theta;
  };
  const Row rows[] = {{true, 1, kTe11, 0.0},
                      {true, 1, kTe11, std::asin(kTe11 / ka)},
                      {true, 1, kTe11, std::asin((kTe11 + 3e-3) / ka)},
                      {true, 1, kTe11, 2.5},
                      {false, 1, kTm11, std::asin(kTm11 / ka)},
                      {false, 1, kTm11, 0.9},
                      {true, 2, kTe12, std::asin((kTe12 - 9.9e-3) / ka)},
                      {true, 2, kTe12, 0.3}};
  for (const auto &row : rows) {
    std::vector<cplx> c(static_cast<std::size_t>(row.n));
    c.back() = 1;
    const auto ap = row.te ? aperture(radius_wl, c) : aperture(radius_wl, {0}, c);
    const auto [et, ep] = direct_field(row.te, row.x, radius_wl, row.theta, 0.3);
    const auto f = far_field(ap, row.theta, 0.3);
    const double scale = std::abs(et) + std::abs(ep);
    EXPECT_LT(std::abs(f.e_theta_v - et) + std::abs(f.e_phi_v - ep), 1e-14 * scale) << row.theta;
  }
}

// TM11 over TE11 of the balanced HE11 field x^ J0(j01 r / a) projected on the two modes,
// c = 2 L0(x, j01) / (L0(x, x) + L2(x, x)) (power ratio 0.173 for equal impedances).
constexpr double kHybridRatio = 0.5043397744806196;
// TM11 over TE11 that cancels the transverse field at the rim: J1(j'11)/j'11 = -c J1'(j11).
constexpr double kRimFreeRatio = 0.7846565073723224;

// Peak 45-degree cross-polar level: pure TE11 about -18.3 dB, the hybrid pair about 15 dB lower;
// directivity on the axis (TE11's aperture efficiency tends to Silver's 0.837). Within 5 degrees
// the cross-polar power still rises: its peak is the range's end. TM11, null on the axis, puts
// the co-polar peak off it and unequal in the two planes. The small aperture's wide cross-polar
// lobe (47 degrees) needs the scan's density: a quarter of it finds a peak 4e-4 dB away. An
// evanescent TE12 at half a wavelength puts the cross-polar peak at 86 degrees, between samples
// that do not straddle it: the sample itself is 2 degrees off.
TEST(Radiation, CrossPolarAndDirectivity) {
  struct Row {
    double radius_wl, te12, tm11, within_deg, xpol_db, xpol_theta_deg, directivity_dbi;
  };
  const Row rows[] = {{2, 0, 0, 90, -18.48282, 16.71627, 21.27490},
                      {2, 0, kHybridRatio, 90, -32.30464, 28.42124, 20.48512},
                      {5, 0, 0, 90, -18.32362, 6.65639, 29.19629},
                      {5, 0, kHybridRatio, 90, -32.18748, 11.40833, 28.47385},
                      {2, 0, 0, 5, -32.04396, 5, 21.27490},
                      {2, 0, 10, 90, -6.46597, 17.61004, 2.70520},
                      {0.7, 0, 1, 90, -13.77483, 46.70536, 8.58398},
                      {0.5, -1, 0, 90, -21.02232, 86.11141, 9.55080}};
  for (const auto &row : rows) {
    RadiationOptions options;
    options.xpol_within_deg = row.within_deg;
    const auto r = radiate(aperture(row.radius_wl, {1, row.te12}, {row.tm11}), options);
    const std::string label = std::to_string(row.radius_wl) + " " + std::to_string(row.tm11);
    EXPECT_NEAR(r.xpol_peak_db, row.xpol_db, 1e-4) << label;
    EXPECT_NEAR(r.xpol_peak_theta_deg, row.xpol_theta_deg, 1e-4) << label;
    EXPECT_NEAR(r.directivity_dbi, row.directivity_dbi, 1e-4) << label;
  }
  // The default range ends at 90 degrees, where a 0.3-wavelength TE11 aperture's cross-polar power
  // still rises (to -3.8 dB at 180).
  EXPECT_NEAR(radiate(aperture(0.3, {1})).xpol_peak_db, -14.50103, 1e-5);
}

// The far-field power against the aperture power: equal for a field that vanishes at the rim,
// TE11's rim field costing 0.3 % at ten wavelengths.
TEST(Radiation, PowerThroughTheSphereMatchesTheAperture) {
  struct Row {
    double radius_wl, tm11, ratio, tolerance;
  };
  const Row rows[] = {{5, kRimFreeRatio, 1, 5e-6}, {10, 0, 0.996840, 1e-6}};
  for (const auto &row : rows) {
    const auto ap = aperture(row.radius_wl, {1}, {row.tm11});
    EXPECT_NEAR(radiate(ap).radiated_power_w / aperture_power_w(ap), row.ratio, row.tolerance);
  }
}

// Referred to its fitted phase centre the 45-degree pattern of a curved phase front is flat near
// the axis (within 1.4 degrees to 15; 5 degrees referred to the aperture); the cuts are normalised
// to partial directivity.
TEST(Radiation, PhaseCentreFlattensThePhase) {
  RadiationOptions options;
  options.cut_theta_deg = {0, 5, 10, 15};
  const auto r = radiate(aperture(1.5, {1, cplx(0, 0.4)}), options);
  EXPECT_NEAR(r.phase_centre_m, 0.0153971533, 1e-9);
  for (std::size_t i = 0; i < r.cuts[1].co.size(); ++i) {
    EXPECT_LT(std::abs(std::arg(r.cuts[1].co[i] / r.cuts[1].co[0])), 1.5 * kPi / 180);
    EXPECT_LT(std::abs(r.cuts[1].co[i] - (r.cuts[0].co.at(i) + r.cuts[2].co.at(i)) / 2.0), 1e-12);
    EXPECT_LT(std::abs(r.cuts[1].cross[i] - (r.cuts[0].co[i] - r.cuts[2].co[i]) / 2.0) +
                  std::abs(r.cuts[0].cross.at(i)) + std::abs(r.cuts[2].cross.at(i)),
              1e-12);
  }
  EXPECT_EQ(r.cuts[0].phi_deg + r.cuts[1].phi_deg + r.cuts[2].phi_deg, 135);
  EXPECT_NEAR(std::norm(r.cuts[1].co[0]), std::pow(10, r.directivity_dbi / 10), 1e-9);
  EXPECT_NEAR(radiate(aperture(0.4, {1})).phase_centre_within_deg, 86.4788, 1e-4); // a wide beam
  EXPECT_EQ(radiate(aperture(0.2, {1})).phase_centre_within_deg, 90); // not 12 dB down by 90
}

// Ludwig 3: the 45-degree plane's co- and cross-polar fields are the half sum and half difference
// of the E- and H-plane fields, which have no cross-polar field; evanescent modes included.
TEST(Radiation, LudwigPlanes) {
  const auto ap = aperture(0.9, {1, cplx(0.3, -0.2), 0.1}, {cplx(0.2, 0.4), 0.05});
  for (const double theta : {0.0, 0.4, 1.1, 2.0, 3.0}) {
    const auto e = far_field(ap, theta, 0, 0.01), h = far_field(ap, theta, kPi / 2, 0.01);
    const auto d = far_field(ap, theta, kPi / 4, 0.01);
    EXPECT_LT(std::abs(d.co_v - (e.co_v + h.co_v) / 2.0) + std::abs(e.cross_v) +
                  std::abs(h.cross_v) + std::abs(d.cross_v - (e.co_v - h.co_v) / 2.0),
              1e-12 * std::abs(e.co_v));
  }
}

// The rows name only the option they spoil.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
TEST(Radiation, RefusesWhatHasNoAnswer) {
  const auto nan = cplx(std::numeric_limits<double>::quiet_NaN(), 0);
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    ApertureField ap;
    RadiationOptions options;
    Failure failure;
  } rows[] = {{aperture(-1, {1}), {}, Failure::invalid_input},
              {{0.01, 0, {1}, {}}, {}, Failure::invalid_input},
              {aperture(1, {0}, {0}), {}, Failure::invalid_input},
              {aperture(1, {nan}), {}, Failure::invalid_input},
              {aperture(400, {1}), {}, Failure::too_much_work},
              {aperture(1, std::vector<cplx>(600, 1)), {}, Failure::too_much_work},
              {aperture(1, {1}), {.xpol_within_deg = 0}, Failure::invalid_input},
              {aperture(1, {1}), {.xpol_within_deg = 181}, Failure::invalid_input},
              {aperture(1, {1}), {.phase_centre_within_deg = -1}, Failure::invalid_input},
              {aperture(1, {1}), {.phase_centre_within_deg = 181}, Failure::invalid_input},
              {aperture(1, {1}), {.cut_theta_deg = {-1}}, Failure::invalid_input},
              {aperture(1, {1}), {.cut_theta_deg = {10, 181}}, Failure::invalid_input},
              {aperture(1, {1}), {.cut_reference_m = inf}, Failure::invalid_input},
              {aperture(1, {1}), {.max_iterations = 0}, Failure::invalid_input},
              {aperture(1, {1}), {.max_iterations = 1}, Failure::not_converged},
              {aperture(1, {1}), {.max_iterations = 9}, Failure::not_converged}, // the edge solve
              {aperture(2, {1}, {0.5}), {.max_iterations = 6}, Failure::not_converged},
              {aperture(1, {1}),
               {.phase_centre_within_deg = 10, .max_iterations = 6},
               Failure::not_converged},
              // The ends of the ranges are taken.
              {aperture(1, {1}), {.xpol_within_deg = 180}, Failure::none},
              {aperture(1, {1}), {.phase_centre_within_deg = 180}, Failure::none},
              {aperture(1, {1}), {.cut_theta_deg = {0, 180}}, Failure::none},
              {aperture(0.1, {1}), {}, Failure::none}}; // k a below 1
  for (const auto &row : rows) {
    const auto r = radiate(row.ap, row.options);
    EXPECT_EQ(r.failure, row.failure) << row.ap.radius_m;
    EXPECT_EQ(std::isnan(r.directivity_dbi), row.failure != Failure::none) << row.ap.radius_m;
  }
  const double k = wavenumber_per_m(12), at_limit = kMaxApertureKa / k; // k a the limit itself
  ASSERT_EQ(k * at_limit, kMaxApertureKa);
  EXPECT_EQ(check_aperture({at_limit, 12, {1}, {}}), Failure::none);
}

// A field decayed through a long cut-off section (powers below the smallest double) or grown past
// the largest double's root has the same ratios as the field of 1 W.
TEST(Radiation, FiguresDoNotDependOnTheFieldsScale) {
  const auto scaled = [](double scale) {
    ApertureField ap = aperture(1.2, {1, cplx(0.3, -0.2)}, {cplx(0.2, 0.4)});
    for (auto *v : {&ap.te, &ap.tm})
      for (cplx &c : *v)
        c *= scale;
    return ap;
  };
  const RadiationSummary one = radiate(scaled(1), {.cut_theta_deg = {40}});
  for (const double scale : {1e-300, 1e190}) {
    const RadiationSummary r = radiate(scaled(scale), {.cut_theta_deg = {40}});
    ASSERT_EQ(r.failure, Failure::none) << scale;
    EXPECT_NEAR(r.directivity_dbi, one.directivity_dbi, 1e-12);
    EXPECT_NEAR(r.phase_centre_m, one.phase_centre_m, 1e-12);
    EXPECT_NEAR(r.xpol_peak_db, one.xpol_peak_db, 1e-9);
    EXPECT_NEAR(std::abs(r.cuts[1].cross[0]), std::abs(one.cuts[1].cross[0]), 1e-12);
    EXPECT_DOUBLE_EQ(r.radiated_power_w, one.radiated_power_w * scale * scale);
    EXPECT_NEAR(hybrid_purity(scaled(scale)), hybrid_purity(scaled(1)), 1e-12);
  }
}

} // namespace
} // namespace kelvor::modal
