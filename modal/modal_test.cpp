#include <cmath>
#include <random>
#include <tuple>

#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>
#include <gtest/gtest.h>

#include "feed/pattern.hpp"
#include "modal/analysis.hpp"
#include "modal/example_horn.hpp"
#include "modal/mode_content.hpp"
#include "modal/radiation.hpp"
#include "modal/staircase.hpp"
#include "modal/sweep.hpp"
#include "modal/units.hpp"

namespace kelvor::modal {
namespace {

// The radial factors of a mode's unnormalised profile: E_r / cos(phi), E_phi / sin(phi).
std::pair<double, double> radial_factors(const Mode &mode, double radius_m, double r) {
  const double x = mode.cutoff_ka / radius_m * r;
  const double ratio = x == 0 ? 0.5 : boost::math::cyl_bessel_j(1, x) / x;
  const double slope = boost::math::cyl_bessel_j_prime(1, x);
  return mode.kind == ModeKind::te ? std::pair{ratio, -slope} : std::pair{slope, -ratio};
}

TEST(Modal, CouplingIntegralsMatchQuadrature) {
  const std::vector<Mode> modes = lowest_modes(8);
  // Near-equal wavenumbers (the last row) cost the closed form digits to cancellation.
  for (const auto &[a_row, b_row, tolerance] : {std::tuple{1.0, 1.0, 1e-12},
                                                {1.0, 1.3, 1e-12},
                                                {0.7, 2.0, 1e-12},
                                                {1.0, 1.0000001, 1e-8}}) {
    // Plain copies: clang 14 cannot capture structured bindings in a lambda.
    const double a = a_row, b = b_row;
    for (const Mode &m : modes)
      for (const Mode &n : modes) {
        const auto integrand = [&](double r) {
          const auto [rm, pm] = radial_factors(m, a, r);
          const auto [rn, pn] = radial_factors(n, b, r);
          return kPi * (rm * rn + pm * pn) * r;
        };
        const double quadrature = boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
            integrand, 0, a, 8, 1e-13);
        EXPECT_NEAR(coupling_integral_m2(m, a, n, b), quadrature, tolerance) << a << " " << b;
      }
  }
}

ScatteringMatrix scattering(const Profile &profile, double freq_ghz, int widest_modes) {
  return staircase_scattering(
      prepare_staircase(profile, proportional_mode_counts(profile, widest_modes, 4)), freq_ghz);
}

// modes_below counts the tabled zeros below a cut-off, across the whole table, and flags a cut-off
// past it.
TEST(Modal, ModesBelowCountsTheWholeTable) {
  const std::vector<Mode> modes = lowest_modes(mode_table_size());
  for (std::size_t i = 0; i < modes.size(); ++i)
    ASSERT_EQ(modes_below(modes[i].cutoff_ka * (1 - 1e-12)), static_cast<int>(i));
  EXPECT_EQ(modes_below(modes.back().cutoff_ka * (1 + 1e-12)), mode_table_size() + 1);
}

// Power conservation for an incident TE11 wave and the symmetry of the whole GSM, over random
// staircases with steps up and down, some modes evanescent.
TEST(Modal, RandomStaircasesConservePowerAndAreReciprocal) {
  std::mt19937 random(24);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 12; ++trial) {
    Profile profile{{0.01, 0.012}};
    for (int i = 0; i < 1 + trial % 5; ++i)
      profile.push_back({0.002 + 0.02 * unit(random), 0.008 + 0.03 * unit(random)});
    const double freq_ghz = 8 + 20 * unit(random);
    const ScatteringMatrix s = scattering(profile, freq_ghz, 10 + trial);
    const Staircase staircase =
        prepare_staircase(profile, proportional_mode_counts(profile, 10 + trial, 4));
    const double k = wavenumber_per_m(freq_ghz);
    double power = 0;
    const auto add_propagating = [&](const GuideSection &guide, const Eigen::VectorXcd &waves) {
      for (std::size_t i = 0; i < guide.modes.size(); ++i)
        if (guide.modes[i].cutoff_ka < k * guide.radius_m)
          power += std::norm(waves(static_cast<Eigen::Index>(i)));
    };
    add_propagating(staircase.sections.front(), s.s11.col(0));
    add_propagating(staircase.sections.back(), s.s21.col(0));
    EXPECT_NEAR(power, 1, 1e-9) << trial;
    EXPECT_LT((s.s11 - s.s11.transpose()).norm(), 1e-9) << trial;
    EXPECT_LT((s.s22 - s.s22.transpose()).norm(), 1e-9) << trial;
    EXPECT_LT((s.s12 - s.s21.transpose()).norm(), 1e-9) << trial;
  }
}

// The two sweeps against the full star product: random staircases (long and short sections, so
// evanescent modes reach the steps), the 60-slot horn, and steps whose narrower guide holds more
// modes than the wider (as the bore's cut-off gives them); both builds of the kernel (the AVX2 one
// where the CPU has it).
TEST(Modal, SweepAgreesWithTheFullStarProduct) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0, 1);
  const Profile iris{{0.02, 0.012}, {0.002, 0.008}, {0.01, 0.012}, {0.02, 0.014}};
  std::vector<std::tuple<Profile, double, std::vector<int>>> cases{
      {sixty_slot_horn(), 9.3, proportional_mode_counts(sixty_slot_horn(), 47, 4)},
      {iris, 10, {38, 24, 38, 30}},
      {iris, 13, {8, 12, 6, 2}}};
  for (int trial = 0; trial < 10; ++trial) {
    Profile profile{{0.01, 0.012}};
    for (int i = 0; i < 1 + trial % 6; ++i)
      profile.push_back({0.0005 + 0.03 * unit(random), 0.008 + 0.03 * unit(random)});
    cases.emplace_back(profile, 8 + 20 * unit(random),
                       proportional_mode_counts(profile, 12 + trial, 4));
  }
  for (const auto &[profile, freq_ghz, counts] : cases) {
    const Staircase staircase = prepare_staircase(profile, counts);
    const ScatteringMatrix s = staircase_scattering(staircase, freq_ghz);
    for (const SweepBuild build : {SweepBuild::fastest, SweepBuild::portable}) {
      const Te11Response sweep = te11_response(staircase, freq_ghz, build);
      EXPECT_LT(std::abs(sweep.s11 / s.s11(0, 0) - 1.0), 1e-12) << freq_ghz;
      EXPECT_LT((sweep.forward - s.s21.col(0)).norm(), 1e-12 * s.s21.col(0).norm()) << freq_ghz;
    }
  }
}

TEST(Modal, UniformGuideAndMirroredStep) {
  // A step between equal radii is no step: the coupling matrix is the identity.
  const std::vector<Mode> modes = lowest_modes(10);
  const Eigen::MatrixXd same = coupling_matrix(modes, 0.01, modes, 0.01);
  EXPECT_LT((same - Eigen::MatrixXd::Identity(10, 10)).norm(), 1e-12);
  EXPECT_EQ(analyse({{0.01, 0.012}, {0.02, 0.012}}, 10, {Termination::matched}).s11,
            std::complex<double>(0));
  // The step seen from its other side: the same network with its ports exchanged.
  const ScatteringMatrix up = scattering({{0.01, 0.012}, {0.015, 0.02}}, 12, 12);
  const ScatteringMatrix down = scattering({{0.015, 0.02}, {0.01, 0.012}}, 12, 12);
  EXPECT_LT((up.s11 - down.s22).norm() + (up.s21 - down.s12).norm() + (up.s22 - down.s11).norm(),
            1e-12);
}

// n sections of 1 mm whose radii alternate 0.1 um apart, so that none merge: the work's bounds.
Profile teeth(int n) {
  Profile profile;
  for (int i = 0; i < n; ++i)
    profile.push_back({0.001, i % 2 ? 0.04 : 0.0399999});
  return profile;
}
const AnalysisOptions kSixtyModes{Termination::matched, 1, 90, 60},
    kTwoModes{Termination::matched, 1, 90, 2};

TEST(Modal, RefusesWhatHasNoAnswer) {
  const Profile good{{0.01, 0.012}, {0.02, 0.02}};
  const auto failure = [](const Profile &profile, double freq_ghz, AnalysisOptions options = {}) {
    const FrequencyResult result = analyse(profile, freq_ghz, options);
    const bool nan = std::isnan(result.s11.imag()) && std::isnan(result.s11_deg) &&
                     std::isnan(result.tm11_over_te11.real()) && std::isnan(result.hybrid_purity) &&
                     std::isnan(result.xpol_peak_db) && std::isnan(result.phase_centre_m);
    EXPECT_EQ(nan, result.failure != Failure::none);
    return result.failure;
  };
  EXPECT_EQ(failure(good, 7.3), Failure::input_below_cutoff); // k a_in = 1.836 < 1.8412
  EXPECT_EQ(failure(good, 7.4), Failure::none);
  EXPECT_EQ(failure(good, 10, {Termination::matched, -1}), Failure::invalid_input);
  // Lengths and radii to a million wavelengths, radii from a millionth (a wavelength is 30 mm at
  // 10 GHz): past them the answer had been NaN, reported as an answer. Each invalid profile's
  // sentence names its first section at fault and the bound it breaks.
  const double up = 0.0299792458e6 * (1 + 1e-9), down = 0.0299792458e-6 * (1 - 1e-9);
  const std::string finite = "'s length and radius must be finite and above 0";
  const std::vector<std::tuple<Profile, double, std::string>> invalid{
      {{}, 10, "no sections"},
      {good, 0, "the frequency must be finite and above 0"},
      {{{0.01, 0.012}, {-0.01, 0.02}}, 10, "section 2" + finite},
      {{{0.01, 0.012}, {0.01, NAN}}, 10, "section 2" + finite},
      {{{0.01, 0.012}, {up, 0.012}}, 10, "section 2 is longer than a million wavelengths"},
      {{{0.01, 0.012}, {0.01, up}}, 10, "section 2's radius is over a million wavelengths"},
      {{{0.01, down}, {0.01, 0.012}},
       10,
       "section 1's radius is under a millionth of a wavelength"},
  };
  for (const auto &[profile, freq_ghz, problem] : invalid) {
    EXPECT_EQ(profile_problem(profile, freq_ghz), problem);
    EXPECT_EQ(failure(profile, freq_ghz, {Termination::matched, 1, 90, 4}), Failure::invalid_input);
  }
  EXPECT_EQ(failure({{0.01, 0.012}, {up * (1 - 2e-9), 0.012}}, 10), Failure::none);
  EXPECT_EQ(
      failure({{0.01, 0.012}, {0.01, down * (1 + 2e-9)}}, 10, {Termination::matched, 1, 90, 4}),
      Failure::none);
  EXPECT_EQ(failure({{0.01, 0.012}, {0.01, 30}}, 10), Failure::too_much_work);
  EXPECT_EQ(failure(good, 10, {Termination::matched, 1e300}), Failure::too_much_work);
  EXPECT_EQ(failure(Profile(20000, {0.01, 0.012}), 10), Failure::none); // merged into one section
  // The work limit, 1e9: sections of 60 modes each cost (60 + 6)^3 = 287,496, so 3,479 of them
  // (1.0002e9) are refused (3,478 are answered, AnswersAtTheWorkLimit). Few modes do not make
  // many sections free: past 100,000 merged sections a profile is refused whatever it holds.
  EXPECT_EQ(failure(teeth(3479), 10, kSixtyModes), Failure::too_much_work);
  EXPECT_EQ(failure(teeth(100001), 10, kTwoModes), Failure::too_much_work);
  // planned_work is that sum, 0 where refused, at the band's top accepted frequency; 125 sections
  // of (194 + 6)^3 are the limit itself, answered.
  EXPECT_EQ(planned_work(teeth(3479), std::vector<double>{10}, kSixtyModes), 0);
  EXPECT_EQ(planned_work(teeth(125), std::vector<double>{10}, {Termination::matched, 1, 90, 194}),
            1e9);
  const Profile wide{{0.01, 0.04}}; // 3 k a = 50.3 at 20 GHz: 32 modes
  EXPECT_EQ(planned_work(wide, std::vector<double>{NAN, 20, 10}), std::pow(32 + 6, 3));
  EXPECT_EQ(planned_work(wide, std::vector<double>{2, NAN}), 0); // no frequency accepted
  EXPECT_EQ(planned_work(wide, std::vector<double>{10, 25}, {Termination::matched, 0.5}),
            std::pow(20 + 6, 3));
  // From 512 pairs across a bore (mode_scale 42.7) the zero table is full.
  EXPECT_EQ(failure({{0.01, 0.01}}, 10, {Termination::matched, 43}), Failure::too_much_work);
}

// Just inside each bound of the work the profile is answered: 3,478 sections of 60 modes
// (9.9991e8), 100,000 sections, and 360 pairs across a bore (mode_scale 30, (720 + 6)^3 = 3.8e8).
// A billion units take seconds, minutes under the sanitizers, whose test preset leaves this out.
TEST(Modal, AnswersAtTheWorkLimit) {
  EXPECT_EQ(analyse(teeth(3478), 10, kSixtyModes).failure, Failure::none);
  EXPECT_EQ(analyse(teeth(100000), 10, kTwoModes).failure, Failure::none);
  EXPECT_EQ(analyse({{0.01, 0.01}}, 10, {Termination::matched, 30}).failure, Failure::none);
}

// Each option at its bound and just past it; the faces raise the sentence before any work.
TEST(Modal, OptionsAreRefusedPastTheirBounds) {
  const std::tuple<double, double, double, int, std::string> rows[] = {
      {1e-9, 180, 90, 0, ""},
      {1, 90, 0.01, 0, ""},
      {NAN, 90, 1, 0, "mode_scale must be a finite number > 0"},
      {1, 90, 1, -1, "widest_modes must be 0 (the default rule) or more"},
      {1, 180.001, 1, 0, "xpol_within_deg must be at most 180 degrees"},
      {1, 90, 90.001, 0, "pattern_step_deg must be a number from 0.01 to 90"},
      {1, 90, 0.0099, 0, "pattern_step_deg must be a number from 0.01 to 90"}};
  for (const auto &[scale, within, step, widest, problem] : rows)
    EXPECT_EQ(option_problem({Termination::radiate, scale, within, widest, step}), problem);
  // A band's results are held at once: 100,000 frequencies, and 2e6 angles of a cut over the band
  // (91 at 1 degree; 9001 at 0.01, which 222 frequencies stay under and 223 pass).
  const std::string many = "a band holds at most 100000 frequencies",
                    wide = "a band's pattern cuts hold at most 2000000 angles (frequencies times "
                           "the angles of a cut)";
  const AnalysisOptions matched{Termination::matched}, fine{.pattern_step_deg = 0.01};
  const std::tuple<std::size_t, AnalysisOptions, std::string> bands[] = {
      {100000, matched, ""}, {100001, matched, many}, {21978, {}, ""}, {21979, {}, wide}};
  for (const auto &[frequencies, options, problem] : bands)
    EXPECT_EQ(band_problem(frequencies, options), problem) << frequencies;
  const std::vector<double> band(223, 10.0);
  const std::vector<FrequencyResult> refused = analyse_band({{0.01, 0.012}}, band, fine);
  EXPECT_EQ(refused.size(), band.size());
  EXPECT_EQ(planned_work({{0.01, 0.012}}, band, fine), 0);
  EXPECT_GT(planned_work({{0.01, 0.012}}, std::span(band).first(222), fine), 0);
  for (const FrequencyResult &r : refused)
    ASSERT_EQ(r.failure, Failure::too_much_work);
}

// The step of 10.5 to 16 mm converges to its figure (the FDTD comparison is in bench/README.md).
TEST(Modal, StepConvergesUnderMoreModes) {
  const Profile step{{0.02, 0.0105}, {0.02, 0.016}};
  for (const auto &[freq_ghz, s11_db, s11_deg] :
       {std::tuple{9.0, -16.786, 5.337}, {12.0, -14.104, 148.677}}) {
    const FrequencyResult coarse = analyse(step, freq_ghz, {Termination::matched, 1, 90, 36});
    EXPECT_NEAR(analyse(step, freq_ghz, {Termination::matched, 1.5, 90, 36}).s11_db, coarse.s11_db,
                0.02);
    EXPECT_NEAR(coarse.s11_db, s11_db, 0.001);
    EXPECT_NEAR(coarse.s11_deg, s11_deg, 0.001);
  }
  // The default counts resolve each bore with 12 TE1n/TM1n pairs: the 8 mm iris gets 24 modes and
  // the guides that reach within an eighth of a wavelength of it (3.75 mm at 10 GHz; the 14 mm
  // guide starts 3.5 mm past it) as many below the same cut-off; the 13 mm guide, 4.5 mm past
  // it, takes the bore of the 12 mm guide beside it. Guides wider than 12 pairs' cut-off at 3 k
  // take 3 k at the band's top frequency. mode_scale multiplies the pairs (1.5: 18; 0.05: one,
  // TE11 and TM11 in the 7 mm iris); a scale past the zero table is refused.
  const Profile iris{{0.02, 0.012}, {0.002, 0.008}, {0.0035, 0.012}, {0.001, 0.014}, {0.02, 0.013}};
  const Profile wide{{0.02, 0.070}, {0.03, 0.080}};
  const Profile thin{{0.02, 0.012}, {0.002, 0.007}, {0.02, 0.012}};
  for (const auto &[profile, freq_ghz, scale, counts] :
       {std::tuple{iris, 10.0, 1.0, std::vector<int>{38, 24, 38, 44, 28}},
        {iris, 10.0, 1.5, std::vector<int>{56, 36, 56, 66, 40}},
        {thin, 10.0, 0.05, std::vector<int>{6, 2, 6}},
        {wide, 10.0, 1.0, std::vector<int>{28, 32}},
        {wide, 12.0, 1.0, std::vector<int>{34, 38}}})
    EXPECT_EQ(analyse(profile, freq_ghz, {Termination::matched, scale}).s11,
              te11_response(prepare_staircase(profile, counts), freq_ghz).s11)
        << freq_ghz << " " << scale;
  EXPECT_EQ(analyse(iris, 10, {Termination::matched, 1e300}).failure, Failure::too_much_work);
  // An odd count completes its TE1n/TM1n pair: 9 modes are 10. One mode is TE11 and TM11
  // throughout, the iris too, whose cut-off then lies below its own TE11's.
  EXPECT_EQ(analyse(thin, 10, {Termination::matched, 1, 90, 9}).s11,
            analyse(thin, 10, {Termination::matched, 1, 90, 10}).s11);
  EXPECT_EQ(analyse(thin, 10, {Termination::matched, 1, 90, 1}).s11,
            te11_response(prepare_staircase(thin, {2, 2, 2}), 10).s11);
  // Four modes in the 20 mm guide put the cut-off halfway between its fourth and fifth (7.02 and
  // 8.54 / 20 mm): TE12 of the 14.4 mm guide (7.40 / 20 mm) lies below, that of the 13 mm (8.20)
  // above.
  const Profile ratio{{0.02, 0.013}, {0.02, 0.0144}, {0.02, 0.020}};
  EXPECT_EQ(analyse(ratio, 10, {Termination::matched, 1, 90, 4}).s11,
            te11_response(prepare_staircase(ratio, {2, 4, 4}), 10).s11);
}

// The sliding-window bore against the smallest radius of every section that reaches the window,
// sought one by one, over random profiles of short and long sections and windows.
TEST(Modal, BoreIsTheSmallestRadiusWithinTheWindow) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 40; ++trial) {
    Profile profile;
    for (int i = 0; i < 1 + trial; ++i)
      profile.push_back({std::pow(10.0, -4 + 2 * unit(random)), 0.005 + 0.03 * unit(random)});
    const double window_m = trial % 4 == 0 ? 0 : std::pow(10.0, -4 + 2 * unit(random));
    const std::vector<double> bores = bore_radii(profile, window_m);
    double start = 0;
    for (std::size_t i = 0; i < profile.size(); ++i) {
      const double end = start + profile[i].length_m;
      double bore = profile[i].radius_m, z = 0;
      for (const Section &other : profile) {
        if (z + other.length_m >= start - window_m && z <= end + window_m)
          bore = std::min(bore, other.radius_m);
        z += other.length_m;
      }
      EXPECT_EQ(bores[i], bore) << trial << " " << i;
      start = end;
    }
  }
}

// A band over the cores gives each frequency's own answer, bit for bit, at fixed mode counts.
TEST(Modal, BandIsEachFrequency) {
  const Profile converter{
      {0.02, 0.0105}, {0.0055, 0.0255}, {0.002, 0.0105}, {0.0055, 0.0225}, {0.01, 0.012}};
  const std::vector<double> freqs_ghz{9, 10, 7, 11, 12};
  const AnalysisOptions options{Termination::radiate, 1, 90, 20};
  const std::vector<FrequencyResult> band = analyse_band(converter, freqs_ghz, options);
  for (std::size_t i = 0; i < freqs_ghz.size(); ++i) {
    const FrequencyResult one = analyse(converter, freqs_ghz[i], options);
    EXPECT_EQ(band[i].failure, one.failure);
    EXPECT_EQ(band[i].s11_db == one.s11_db || std::isnan(band[i].s11_db + one.s11_db), true);
    EXPECT_EQ(band[i].aperture.tm, one.aperture.tm);
  }
}

// The closed-form overlap with x^ J0(j01 r/a) against quadrature, for TE11, TM11 and TE12 each
// alone (the power-normalised amplitudes of the field do not matter: purity is a ratio).
TEST(Modal, HybridPurityOfOneMode) {
  const double a = 0.02, j01 = boost::math::cyl_bessel_j_zero(0.0, 1);
  const double hybrid = kPi * a * a * std::pow(boost::math::cyl_bessel_j(1, j01), 2);
  for (const Mode &mode : lowest_modes(3)) {
    const auto overlap = [&](double r) {
      const auto [radial, azimuthal] = radial_factors(mode, a, r);
      return kPi * (radial - azimuthal) * boost::math::cyl_bessel_j(0, j01 * r / a) * r;
    };
    const double o =
        boost::math::quadrature::gauss_kronrod<double, 61>::integrate(overlap, 0, a, 8, 1e-13);
    ApertureField field{a, 10, {}, {}};
    auto &amplitudes = mode.kind == ModeKind::te ? field.te : field.tm;
    amplitudes.resize(static_cast<std::size_t>(mode.n));
    amplitudes.back() = {0.3, -0.7};
    EXPECT_NEAR(hybrid_purity(field), o * o / (hybrid * profile_norm_m2(mode, a)), 1e-12);
  }
  // The TE11 share of the balanced hybrid mode.
  EXPECT_NEAR(hybrid_purity({a, 10, {{0.3, -0.7}}, {}}), 0.84496, 1e-5);
}

// A long corrugated horn radiates nearly the balanced hybrid mode: its 45-degree co-polar cut
// follows feed's model pattern of the same aperture and slant radius (within 1.2 dB down to -20 dB;
// the model has no rim field or higher modes), its cross-polar level is low and its HE11 purity
// high.
TEST(Modal, LongCorrugatedHornApproachesTheHybridMode) {
  const FrequencyResult horn = analyse(sixty_slot_horn(), 10);
  const feed::HornPattern model({0.060, std::hypot(0.060 * 59 * 0.0075 / 0.0495, 0.060)}, 10);
  const PatternCut &cut = horn.cuts[1];
  ASSERT_EQ(cut.theta_deg.size(), 91u); // 0 to 90 degrees by the default 1-degree step
  EXPECT_EQ(cut.theta_deg.back(), 90);
  for (std::size_t i = 0;
       i < cut.theta_deg.size() && model.level_db(cut.theta_deg[i] * kPi / 180) > -20; ++i)
    EXPECT_NEAR(cut.co_db[i], model.level_db(cut.theta_deg[i] * kPi / 180), 1.2)
        << cut.theta_deg[i];
  // 1 W incident: the aperture field carries what the input does not reflect (radiation.hpp's
  // power).
  EXPECT_NEAR(aperture_power_w(horn.aperture), 1 - std::norm(horn.s11), 1e-9);
  EXPECT_NEAR(horn.s11_db, -44.69, 0.01);
  EXPECT_NEAR(horn.s11_deg, 84.96, 0.01); // at the 20 mm input guide's start
  EXPECT_NEAR(horn.xpol_peak_db, -36.03, 0.01);
  EXPECT_NEAR(horn.directivity_dbi, 20.50, 0.01);
  EXPECT_NEAR(horn.hybrid_purity, 0.9768, 1e-4);
  EXPECT_NEAR(std::norm(horn.tm11_over_te11), 0.167, 0.001); // the balanced mode's 0.18, nearly
}

} // namespace
} // namespace kelvor::modal
