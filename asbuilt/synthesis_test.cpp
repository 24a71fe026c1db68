#include <gtest/gtest.h>

#include <cmath>

#include "asbuilt/synthesis.hpp"

namespace kelvor::asbuilt {
namespace {

// Reference values from an independent evaluation of the rules (Python, double precision).
TEST(Synthesis, FollowsThePublishedRules) {
  struct Case {
    const char *label;
    Band band;
    double a_m, r_m, design_ghz, input_m, length_m, pitch_m, first_flare_m, last_m;
    std::size_t slots;
  };
  const Case cases[] = {
      {"narrow Ku",
       {10.7, 12.75},
       0.04,
       0.2,
       11.68011130083956,
       0.012255050580452896,
       0.13592193803443747,
       0.0032362366198675587,
       0.007084814691938824,
       0.006649172436152741,
       42},
      {"wide 1.5:1",
       {8, 12},
       0.05,
       0.15,
       9.6,
       0.014910453622615446,
       0.09924822476883388,
       0.003969928990753355,
       0.008473470054424209,
       0.007682118721333639,
       25},
  };
  const SynthesisRules rules;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.label);
    const Synthesis s = synthesise(c.band, c.a_m, c.r_m, rules);
    ASSERT_EQ(s.failure, Failure::none);
    const auto &k = s.horn.corrugations;
    ASSERT_EQ(k.size(), c.slots);
    const double lambda_c = 299792458.0 / (c.design_ghz * 1e9);
    EXPECT_NEAR(s.design_freq_ghz, c.design_ghz, 1e-12);
    EXPECT_NEAR(s.horn.input_radius_m, c.input_m, 1e-15);
    EXPECT_NEAR(s.pitch_m, c.pitch_m, 1e-15);
    EXPECT_NEAR(k[0].depth_m, 0.45 * lambda_c, 1e-15);
    EXPECT_NEAR(k[5].depth_m, c.first_flare_m, 1e-15);
    EXPECT_NEAR(k.back().depth_m, c.last_m, 1e-15);
    EXPECT_NEAR(k.back().inner_radius_m, c.a_m, 1e-15);
    EXPECT_NEAR(std::sin(s.flare_half_angle_deg * M_PI / 180), c.a_m / c.r_m, 1e-15);
    // The bores lie on the cone, whole pitches fill it, the converter's depths fall to the flare's.
    const std::vector<Slot> table = slot_table(s.horn);
    const double end = table.back().z_m + s.pitch_m;
    EXPECT_NEAR(end - s.horn.input_length_m, c.length_m, 1e-14);
    for (std::size_t j = 0; j < k.size(); ++j) {
      EXPECT_NEAR(k[j].slot_width_m / s.pitch_m, 0.8, 1e-12);
      EXPECT_NEAR(k[j].slot_width_m + k[j].tooth_width_m, s.pitch_m, 1e-15);
      EXPECT_NEAR((k[j].inner_radius_m - c.input_m) /
                      (table[j].z_m + s.pitch_m - s.horn.input_length_m),
                  c.a_m / std::sqrt(c.r_m * c.r_m - c.a_m * c.a_m), 1e-12);
      if (j > 0 && j <= 5) {
        EXPECT_LT(k[j].depth_m, k[j - 1].depth_m);
      }
    }
    EXPECT_TRUE(s.pitch_m >= lambda_c / 10 && s.pitch_m <= lambda_c / 5);
    EXPECT_EQ(check_machinable(s.horn, rules), Failure::none);
    SynthesisRules at_limit = rules;
    at_limit.min_tooth_m = k[0].tooth_width_m;
    at_limit.min_slot_m = k[0].slot_width_m;
    EXPECT_EQ(check_machinable(s.horn, at_limit), Failure::none);
  }
}

// The profile is the staircase of the corrugations: input guide, then slot and tooth in turn.
TEST(Synthesis, ProfileIsTheSlotTable) {
  const Synthesis s = synthesise({10.7, 12.75}, 0.04, 0.2);
  const modal::Profile p = profile(s.horn);
  const std::vector<Slot> t = slot_table(s.horn);
  ASSERT_EQ(p.size(), 1 + 2 * t.size());
  double z = p[0].length_m;
  for (std::size_t j = 0; j < t.size(); ++j) {
    EXPECT_EQ(t[j].z_m, z);
    EXPECT_EQ(p[2 * j + 1].radius_m, t[j].inner_radius_m + t[j].depth_m);
    EXPECT_EQ(p[2 * j + 2].radius_m, t[j].inner_radius_m);
    z += p[2 * j + 1].length_m + p[2 * j + 2].length_m;
  }
  // A plain guide is one section, a refused synthesis's empty horn none.
  EXPECT_EQ(profile({0.0105, 0.02, {}}).size() + profile({0, 0.02, {}}).size(), 2U);
  EXPECT_TRUE(profile({}).empty());
}

// The rows name only the rule they change.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
TEST(Synthesis, RefusesWhatTheRulesDoNotCover) {
  const SynthesisRules coarse{.pitch_wavelengths = 0.3}, fine{.min_tooth_m = 1e-3},
      tiny{.max_slots = 10}, one{.max_slots = 1}, lowest_ratio{.slot_to_pitch = 0.7};
  const Band ku{10.7, 12.75};
  const double input_m = synthesise(ku, 0.04, 0.2).horn.input_radius_m;
  struct Case {
    Band band;
    double a_m, r_m;
    SynthesisRules rules;
    Failure expected;
  };
  const Case cases[] = {
      {{12, 11}, 0.04, 0.2, {}, Failure::invalid_input},
      {{10.7, 12.75}, NAN, 0.2, {}, Failure::invalid_input},
      {{10.7, 12.75}, 0.04, 0.2, coarse, Failure::invalid_rule},
      {{10.7, 12.75}, 0.04, 0.2, one, Failure::invalid_rule},
      {{10.7, 12.75}, 0.04, 0.2, lowest_ratio, Failure::none},
      {{5, 13}, 0.04, 0.2, {}, Failure::band_too_wide},
      {{10.7, 12.75}, 0.04, 0.04, {}, Failure::no_cone},
      {{10.7, 12.75}, 0.012, 0.2, {}, Failure::aperture_too_small},
      {{10.7, 12.75}, 0.02, 0.0201, {}, Failure::too_few_slots},
      {{10.7, 12.75}, 0.04, 0.2, tiny, Failure::too_much_work},
      {{10.7, 12.75}, 0.04, 0.2, fine, Failure::not_machinable},
      {ku, -0.04, 0.2, {}, Failure::invalid_input},
      {ku, input_m, 0.2, {}, Failure::aperture_too_small},
      {ku, 0.04, 0.2, {.min_depth_m = 0.01}, Failure::not_machinable},
      {ku, 0.04, 0.2, {.input_kca = 1.8411837813406593}, Failure::invalid_rule},
      {ku, 0.04, 0.2, {.slot_to_pitch = 0.95}, Failure::invalid_rule},
      {ku, 0.04, 0.2, {.wide_design_factor = 0.9}, Failure::invalid_rule},
      {ku, 0.04, 0.2, {.max_band_ratio = 2.41}, Failure::invalid_rule},
      {ku, 0.04, 0.2, {.wide_output_factor = 0.99}, Failure::invalid_rule},
      // A wide band's f_c 1.5 f_min: 2 / k_c cuts TE11 off at f_min.
      {{8, 12},
       0.04,
       0.2,
       {.wide_design_factor = 1.5, .input_kca = 2},
       Failure::input_below_cutoff},
      // The ends of the rules' ranges are taken.
      {{5, 12}, 0.06, 0.3, {}, Failure::none},
      {ku, 0.04, 0.2, {.max_band_ratio = 1.5}, Failure::none},
      {ku, 0.04, 0.2, {.pitch_wavelengths = 0.1, .converter_slots = 1}, Failure::none},
  };
  for (const Case &c : cases) {
    const Synthesis s = synthesise(c.band, c.a_m, c.r_m, c.rules);
    EXPECT_EQ(s.failure, c.expected) << describe(c.expected);
    EXPECT_EQ(s.horn.corrugations.empty(), c.expected != Failure::none);
  }
  // A flare of a single slot takes the ka-corrected quarter wave of f_c, as the narrow band's last
  // slot does: its taper's step is 0, not 0 / 0.
  const std::vector<Corrugation> all = synthesise(ku, 0.04, 0.2).horn.corrugations;
  const Synthesis one_flare = synthesise(ku, 0.04, 0.2, {.converter_slots = all.size() - 1});
  ASSERT_EQ(one_flare.failure, Failure::none);
  EXPECT_DOUBLE_EQ(one_flare.horn.corrugations.back().depth_m, all.back().depth_m);
  EXPECT_EQ(synthesise_for_beam({10.7, 12.75}, 190, 10, 0.3).failure, Failure::invalid_input);
  EXPECT_EQ(synthesise_for_dish({10.7, 12.75}, 0.25, 3, 0.3).failure, Failure::beam_not_designed);
  EXPECT_EQ(synthesise_for_beam(ku, 20, 10, 0).failure, Failure::beam_not_designed); // no flare
  // A wide beam at a large S: the design's slant radius falls short of its aperture, no cone.
  EXPECT_EQ(synthesise_for_beam(ku, 120, 10, 0.6).failure, Failure::beam_not_designed);
  EXPECT_EQ(check_machinable(CorrugatedHorn{}, {}), Failure::invalid_input);
  CorrugatedHorn spoilt = synthesise(ku, 0.04, 0.2).horn;
  spoilt.corrugations[3].tooth_width_m = NAN;
  EXPECT_EQ(check_machinable(spoilt, {}), Failure::invalid_input);
}

// The beam and dish entries land on the model-true design's aperture: the dish's taper is the
// horn's level at the rim plus the space attenuation.
TEST(Synthesis, BeamAndDishEntries) {
  const double theta0 = 2 * std::atan(1 / (4 * 0.8));
  const double space_db = -20 * std::log10((1 + std::cos(theta0)) / 2);
  const Synthesis dish = synthesise_for_dish({10.7, 12.75}, 0.8, 12, 0.2);
  const Synthesis beam =
      synthesise_for_beam({10.7, 12.75}, 2 * theta0 * 180 / M_PI, 12 - space_db, 0.2);
  ASSERT_EQ(dish.failure, Failure::none);
  EXPECT_EQ(dish.aperture_radius_m, beam.aperture_radius_m);
  const double lambda = 299792458.0 / (dish.design_freq_ghz * 1e9);
  EXPECT_NEAR(dish.aperture_radius_m * dish.aperture_radius_m / (2 * lambda * dish.slant_radius_m),
              0.2, 1e-12);
}

} // namespace
} // namespace kelvor::asbuilt
