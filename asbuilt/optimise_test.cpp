#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asbuilt/optimise.hpp"
#include "modal/radiation.hpp"

namespace kelvor::asbuilt {
namespace {

const Synthesis kStart = synthesise({10.7, 12.75}, 0.04, 0.2);

// A stand-in for the analysis, a smooth function of the slot depths and widths relative to the
// start: S11 lowest at depths `aim` times the start's and widths `width_aim` times the start's, the
// cross-polar level rising with the first depth.
BandEvaluator bowl(double aim, double width_aim = 1) {
  return [aim, width_aim](const modal::Profile &p) {
    double sum = 1e-3;
    for (std::size_t j = 0; j < 8; ++j) {
      const Corrugation &c = kStart.horn.corrugations[j];
      const double depth = p[2 * j + 1].radius_m - p[2 * j + 2].radius_m;
      sum += std::pow(depth / c.depth_m - aim, 2) +
             std::pow(p[2 * j + 1].length_m / c.slot_width_m - width_aim, 2);
    }
    const double first = (p[1].radius_m - p[2].radius_m) / kStart.horn.corrugations[0].depth_m;
    return BandFigures{10 * std::log10(sum), -40 + 50 * (first - 1), Failure::none};
  };
}

TEST(Optimise, NeverWorseThanTheStartAndAlwaysMachinable) {
  struct Case {
    const char *label;
    double aim;
    bool widths;
    std::size_t max_evaluations;
    double width_aim = 1;
  };
  const Case cases[] = {
      {"improvable, converging before its limit", 1.08, false, 100000},
      {"with widths", 1.08, true, 200},
      {"start is best", 1.0, true, 60},
      {"one evaluation", 1.08, false, 1},
      {"widths held at their bound", 1.08, true, 200, 3},
      {"widths asked for, not varied", 1.08, false, 200, 3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.label);
    OptimiseOptions o;
    o.vary_widths = c.widths;
    o.max_evaluations = c.max_evaluations;
    o.s11_target_db = -100;
    const Optimised r = optimise(kStart.horn, bowl(c.aim, c.width_aim), o);
    ASSERT_EQ(r.failure, Failure::none);
    EXPECT_LE(r.evaluations, c.max_evaluations);
    // COBYLA stops once its steps change no value by 1e-4 of it (205 evaluations; 563 without).
    if (c.max_evaluations > 1000) {
      EXPECT_LT(r.evaluations, 300u);
    }
    // The reported best is the returned horn's, and no worse than the start's.
    const BandFigures again = bowl(c.aim, c.width_aim)(profile(r.horn));
    EXPECT_EQ(again.worst_s11_db, r.best.worst_s11_db);
    EXPECT_LE(r.best.worst_s11_db, r.start.worst_s11_db);
    EXPECT_LE(r.best.worst_xpol_db, o.xpol_target_db);
    EXPECT_EQ(check_machinable(r.horn, o.rules), Failure::none);
    for (std::size_t j = 0; j < r.horn.corrugations.size(); ++j) {
      const Corrugation &a = r.horn.corrugations[j], &b = kStart.horn.corrugations[j];
      EXPECT_NEAR(a.slot_width_m + a.tooth_width_m, b.slot_width_m + b.tooth_width_m, 1e-15);
      if (j >= 8 || c.aim == 1.0 || c.max_evaluations == 1) {
        EXPECT_EQ(a.depth_m, b.depth_m) << j;
      }
      // Only the converter's slot widths vary, and only when asked; wider slots leave teeth of the
      // workshop's least width.
      if (!c.widths || j >= o.converter_slots) {
        EXPECT_EQ(a.slot_width_m, b.slot_width_m) << j;
      } else if (c.width_aim > 2) {
        EXPECT_NEAR(a.tooth_width_m, o.rules.min_tooth_m, 1e-12) << j;
      }
    }
    // The bowl's floor, 10 log10(1e-3) = -30 dB, 17 dB below the start: the search reaches it.
    if (c.aim != 1.0 && c.max_evaluations > 1 && c.width_aim == 1) {
      EXPECT_NEAR(r.best.worst_s11_db, -30, 0.01);
    }
  }
}

TEST(Optimise, StopsWhenAskedOrTargetsMetAndRefusesBadRequests) {
  OptimiseOptions o;
  o.s11_target_db = -100;
  std::size_t seen = 0;
  o.progress = [&](const Iteration &i) { return (seen = i.evaluation) < 3; };
  const Optimised cancelled = optimise(kStart.horn, bowl(1.08), o);
  EXPECT_EQ(cancelled.failure, Failure::cancelled);
  EXPECT_EQ(cancelled.evaluations, 3u);
  EXPECT_EQ(seen, 3u);

  o.progress = {};
  o.s11_target_db = -15;
  const Optimised met = optimise(kStart.horn, bowl(1.08), o);
  EXPECT_TRUE(met.targets_met);
  EXPECT_LE(met.best.worst_s11_db, -15);
  EXPECT_LT(met.evaluations, 100u);

  // A start exactly at the targets is met at once; the most evaluations allowed are allowed.
  o.s11_target_db = bowl(1.08)(profile(kStart.horn)).worst_s11_db;
  o.max_evaluations = 100000;
  const Optimised at_start = optimise(kStart.horn, bowl(1.08), o);
  EXPECT_TRUE(at_start.targets_met);
  EXPECT_EQ(at_start.evaluations, 1u);
  EXPECT_EQ(at_start.start.worst_s11_db, o.s11_target_db);

  // The default targets, -30 dB S11 and -35 dB cross-polar: a start half a dB inside both is met.
  const BandEvaluator inside = [](const modal::Profile &) { return BandFigures{-30.5, -35.5}; };
  const Optimised by_default = optimise(kStart.horn, inside, {});
  EXPECT_TRUE(by_default.targets_met && by_default.evaluations == 1);

  // Every slot may vary.
  OptimiseOptions all;
  all.flare_slots = kStart.horn.corrugations.size() - all.converter_slots;
  all.max_evaluations = 1;
  EXPECT_EQ(optimise(kStart.horn, bowl(1), all).failure, Failure::none);

  OptimiseOptions none, big_step, too_long, too_many, whole_depth, shallow;
  none.converter_slots = none.flare_slots = 0;
  whole_depth.depth_range = 1;
  big_step.initial_step = 0.51;
  too_long.max_evaluations = 100001;
  too_many.converter_slots = 100;
  shallow.rules.min_depth_m = 0.1;
  for (const OptimiseOptions &bad : {none, big_step, too_long, too_many, whole_depth}) {
    const Optimised r = optimise(kStart.horn, bowl(1), bad);
    EXPECT_EQ(r.failure, Failure::invalid_input);
    EXPECT_EQ(r.horn.corrugations.size(), kStart.horn.corrugations.size());
  }
  // A refused request has no figures: NaN, not a plausible 0 dB.
  const Optimised refused = optimise(kStart.horn, bowl(1), shallow);
  EXPECT_EQ(refused.failure, Failure::not_machinable);
  EXPECT_TRUE(std::isnan(refused.start.worst_s11_db) && std::isnan(refused.best.worst_xpol_db));
  EXPECT_EQ(refused.evaluations, 0u);
  // A start without an answer ends the search with its own failure and no figures at all (not the
  // penalty the search gives COBYLA in their place).
  for (const Failure why : {Failure::analysis_failed, Failure::too_much_work}) {
    const Optimised r = optimise(kStart.horn,
                                 [why](const modal::Profile &) {
                                   return BandFigures{NAN, NAN, why};
                                 },
                                 {});
    EXPECT_EQ(r.failure, why);
    EXPECT_TRUE(std::isnan(r.best.worst_s11_db) && std::isnan(r.best.worst_xpol_db));
  }
  // Points without an answer (here every point but the start) are never taken as the best.
  const BandEvaluator holes = [](const modal::Profile &p) {
    const modal::Profile start = profile(kStart.horn);
    const bool same = std::equal(p.begin(), p.end(), start.begin(), [](auto &a, auto &b) {
      return a.length_m == b.length_m && a.radius_m == b.radius_m;
    });
    return same ? bowl(1.08)(p) : BandFigures{NAN, NAN, Failure::analysis_failed};
  };
  OptimiseOptions few;
  few.max_evaluations = 20;
  const Optimised around = optimise(kStart.horn, holes, few);
  EXPECT_EQ(around.best.failure, Failure::none);
  EXPECT_EQ(around.best.worst_s11_db, around.start.worst_s11_db);
  // Each point is analysed once, though COBYLA asks for its objective and constraint apart.
  std::vector<double> depths;
  const BandEvaluator record = [&](const modal::Profile &p) {
    double key = 0;
    for (std::size_t i = 0; i < p.size(); ++i)
      key += std::sqrt(static_cast<double>(i + 2)) * (p[i].radius_m + M_PI * p[i].length_m);
    depths.push_back(key);
    return bowl(1.08)(p);
  };
  const std::size_t evaluations = optimise(kStart.horn, record, few).evaluations;
  EXPECT_EQ(evaluations, depths.size());
  EXPECT_EQ(std::adjacent_find(depths.begin(), depths.end()), depths.end());
  EXPECT_EQ(band_frequencies({10, 12}, 3), (std::vector<double>{10, 11, 12}));
  EXPECT_EQ(band_frequencies({10, 12}, 1), (std::vector<double>{11}));
}

} // namespace
} // namespace kelvor::asbuilt

namespace kelvor::asbuilt {
namespace {

// The band's figures are the worst of each frequency's, the cross-polar peak and directivity those
// of the aperture's own radiation.
TEST(Optimise, BandFiguresAreTheWorstOfTheAnalysis) {
  const modal::Profile p = profile(kStart.horn);
  const std::vector<double> f = {10.7, 11.7, 12.75};
  const std::vector<FrequencyFigures> each = frequency_figures(p, f);
  ASSERT_EQ(each.size(), 3u);
  double s11 = -1e9, xpol = -1e9;
  const std::vector<modal::FrequencyResult> band = modal::analyse_band(p, f);
  for (std::size_t i = 0; i < 3; ++i) {
    const modal::RadiationSummary far = modal::radiate(band[i].aperture);
    EXPECT_NEAR(each[i].xpol_peak_db, far.xpol_peak_db, 1e-6);
    EXPECT_NEAR(each[i].directivity_dbi, far.directivity_dbi, 1e-6);
    s11 = std::max(s11, each[i].s11_db);
    xpol = std::max(xpol, each[i].xpol_peak_db);
  }
  // Where the analysis leaves the far field out (a matched end), it comes from the aperture.
  modal::AnalysisOptions matched;
  matched.termination = modal::Termination::matched;
  const std::vector<FrequencyFigures> from_aperture = frequency_figures(p, f, matched);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(from_aperture[i].xpol_peak_db, each[i].xpol_peak_db, 1e-9);
    EXPECT_NEAR(from_aperture[i].directivity_dbi, each[i].directivity_dbi, 1e-9);
  }
  const BandFigures worst = band_figures(p, f);
  EXPECT_EQ(worst.worst_s11_db, s11);
  EXPECT_EQ(worst.worst_xpol_db, xpol);
  EXPECT_EQ(band_figures(p, {}).failure, Failure::invalid_input);
  EXPECT_EQ(band_figures(p, std::vector<double>{1.0}).failure, Failure::analysis_failed);
  EXPECT_EQ(frequency_figures(p, std::vector<double>{1.0})[0].failure, Failure::analysis_failed);
  const modal::AnalysisOptions huge{.mode_scale = 1e3};
  EXPECT_EQ(band_figures(p, f, huge).failure, Failure::too_much_work);
}

} // namespace
} // namespace kelvor::asbuilt
