// The published corrugated-horn design rules applied to a conical flare.
#include "asbuilt/synthesis.hpp"

#include <cmath>

#include "feed/design.hpp"
#include "feed/units.hpp"

namespace kelvor::asbuilt {

namespace {

using feed::kPi;

// The first zeros of J1' and J1: TE11's and TM11's cut-off k a in a circular waveguide.
constexpr double kTe11 = 1.8411837813406593;
constexpr double kTm11 = 3.8317059702075123;

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

bool valid_band(const Band &band) {
  return positive(band.min_ghz) && positive(band.max_ghz) && band.max_ghz >= band.min_ghz;
}

bool within(double x, double lo, double hi) {
  return std::isfinite(x) && x >= lo && x <= hi;
}

// The ranges the sources give for each open choice.
bool rules_valid(const SynthesisRules &r) {
  return within(r.narrow_band_ratio, 1, r.max_band_ratio) && within(r.max_band_ratio, 1, 2.4) &&
         within(r.wide_design_factor, 1, 1.5) && within(r.wide_output_factor, 1, 1.5) &&
         // The input guide carries TE11 at f_c and no TM11 [GJ].
         r.input_kca > kTe11 && r.input_kca < kTm11 && positive(r.input_length_wavelengths) &&
         within(r.pitch_wavelengths, 0.1, 0.2) && within(r.slot_to_pitch, 0.7, 0.9) &&
         r.converter_slots >= 1 && within(r.first_slot_depth_wavelengths, 0.4, 0.5) &&
         positive(r.min_tooth_m) && positive(r.min_slot_m) && positive(r.min_depth_m) &&
         r.max_slots >= 2;
}

double wavelength_at(double freq_ghz) {
  return feed::wavelength_m(freq_ghz);
}

// The quarter-wave slot depth corrected for the wall's radius a: at small k a the hybrid mode's
// balance needs a slot slightly deeper than lambda/4, d = lambda/4 exp(1 / (2.114 (k a)^1.134))
// [GJ, after the surface-reactance condition of CO].
double corrected_quarter_wave_m(double wavelength_m, double radius_m) {
  const double ka = 2 * kPi * radius_m / wavelength_m;
  return wavelength_m / 4 * std::exp(1 / (2.114 * std::pow(ka, 1.134)));
}

Synthesis refused(Failure why) {
  Synthesis s;
  s.failure = why;
  return s;
}

} // namespace

DesignFrequencies design_frequencies(const Band &band, const SynthesisRules &rules) {
  // Narrow bands: the geometric mean; wide bands: near the bottom of the band, with the aperture's
  // slots a quarter wave at a slightly higher f_o [GJ].
  if (band.max_ghz <= rules.narrow_band_ratio * band.min_ghz) {
    const double f_c = std::sqrt(band.min_ghz * band.max_ghz);
    return {f_c, f_c};
  }
  const double f_c = rules.wide_design_factor * band.min_ghz;
  return {f_c, rules.wide_output_factor * f_c};
}

modal::Profile profile(const CorrugatedHorn &horn) {
  if (horn.input_radius_m == 0 && horn.input_length_m == 0 && horn.corrugations.empty())
    return {}; // the empty horn of a refused synthesis
  modal::Profile sections;
  sections.reserve(1 + 2 * horn.corrugations.size());
  sections.push_back({horn.input_length_m, horn.input_radius_m});
  for (const Corrugation &c : horn.corrugations) {
    sections.push_back({c.slot_width_m, c.inner_radius_m + c.depth_m});
    sections.push_back({c.tooth_width_m, c.inner_radius_m});
  }
  return sections;
}

std::vector<Slot> slot_table(const CorrugatedHorn &horn) {
  std::vector<Slot> slots;
  slots.reserve(horn.corrugations.size());
  double z = horn.input_length_m;
  for (const Corrugation &c : horn.corrugations) {
    slots.push_back({z, c.inner_radius_m, c.depth_m, c.slot_width_m});
    z += c.slot_width_m + c.tooth_width_m;
  }
  return slots;
}

Failure check_machinable(const CorrugatedHorn &horn, const SynthesisRules &rules) {
  if (!positive(horn.input_radius_m) || !positive(horn.input_length_m))
    return Failure::invalid_input;
  for (const Corrugation &c : horn.corrugations) {
    if (!positive(c.inner_radius_m) || !std::isfinite(c.depth_m) ||
        !std::isfinite(c.slot_width_m) || !std::isfinite(c.tooth_width_m))
      return Failure::invalid_input;
    if (c.depth_m < rules.min_depth_m || c.slot_width_m < rules.min_slot_m ||
        c.tooth_width_m < rules.min_tooth_m)
      return Failure::not_machinable;
  }
  return Failure::none;
}

Synthesis synthesise(const Band &band, double aperture_radius_m, double slant_radius_m,
                     const SynthesisRules &rules) {
  if (!valid_band(band) || !positive(aperture_radius_m) || !positive(slant_radius_m))
    return refused(Failure::invalid_input);
  if (!rules_valid(rules))
    return refused(Failure::invalid_rule);
  const double ratio = band.max_ghz / band.min_ghz;
  if (ratio > rules.max_band_ratio)
    return refused(Failure::band_too_wide);
  if (slant_radius_m <= aperture_radius_m)
    return refused(Failure::no_cone);

  Synthesis s;
  const DesignFrequencies f = design_frequencies(band, rules);
  s.design_freq_ghz = f.design_ghz;
  s.output_freq_ghz = f.output_ghz;
  const double lambda_c = wavelength_at(s.design_freq_ghz);
  const double lambda_o = wavelength_at(s.output_freq_ghz);
  const double input_radius = rules.input_kca * lambda_c / (2 * kPi); // [GJ]
  if (2 * kPi * input_radius / wavelength_at(band.min_ghz) <= kTe11)
    return refused(Failure::input_below_cutoff);
  if (aperture_radius_m <= input_radius)
    return refused(Failure::aperture_too_small);

  // The straight cone from the input radius to the aperture, whole pitches along it.
  const double alpha = std::asin(aperture_radius_m / slant_radius_m);
  const double length = (aperture_radius_m - input_radius) / std::tan(alpha);
  const double count = std::round(length / (rules.pitch_wavelengths * lambda_c));
  if (count > static_cast<double>(rules.max_slots))
    return refused(Failure::too_much_work);
  const auto n = static_cast<std::size_t>(count);
  const std::size_t n_mc = rules.converter_slots;
  if (n <= n_mc)
    return refused(Failure::too_few_slots);
  s.pitch_m = length / count;
  s.converter_slots = n_mc;
  s.aperture_radius_m = aperture_radius_m;
  s.slant_radius_m = slant_radius_m;
  s.flare_half_angle_deg = alpha / feed::kDegree;

  CorrugatedHorn &horn = s.horn;
  horn.input_radius_m = input_radius;
  horn.input_length_m = rules.input_length_wavelengths * lambda_c;
  horn.corrugations.reserve(n);
  const double sigma = rules.first_slot_depth_wavelengths;
  for (std::size_t j = 1; j <= n; ++j) {
    const double a_j = input_radius + (aperture_radius_m - input_radius) * static_cast<double>(j) /
                                          static_cast<double>(n);
    const double quarter_c = corrected_quarter_wave_m(lambda_c, a_j);
    double depth;
    if (j <= n_mc) {
      // The converter: from sigma lambda_c down to the flare's depth over N_MC slots [GJ, J81].
      const double step = static_cast<double>(j - 1) / static_cast<double>(n_mc);
      depth = (sigma - step * (sigma - quarter_c / lambda_c)) * lambda_c;
    } else {
      // The flare: the ka-corrected quarter wave of f_c, tapering to that of f_o at the aperture.
      const double step =
          n > n_mc + 1 ? static_cast<double>(j - n_mc - 1) / static_cast<double>(n - n_mc - 1) : 0;
      depth = quarter_c - step * (quarter_c - corrected_quarter_wave_m(lambda_o, a_j));
    }
    horn.corrugations.push_back(
        {a_j, depth, rules.slot_to_pitch * s.pitch_m, (1 - rules.slot_to_pitch) * s.pitch_m});
  }
  if (const Failure why = check_machinable(horn, rules); why != Failure::none)
    return refused(why);
  return s;
}

namespace {

// The corrugated horn on the aperture and slant radius of a model-true design.
Synthesis from_design(const Band &band, const feed::HornDesign &d, const SynthesisRules &rules) {
  if (d.failure == feed::Failure::invalid_input)
    return refused(Failure::invalid_input);
  if (d.failure != feed::Failure::none || !d.real_cone || !std::isfinite(d.slant_radius_m))
    return refused(Failure::beam_not_designed);
  return synthesise(band, d.aperture_radius_m, d.slant_radius_m, rules);
}

} // namespace

Synthesis synthesise_for_beam(const Band &band, double beamwidth_deg, double level_db,
                              double phase_deviation, const SynthesisRules &rules) {
  if (!valid_band(band))
    return refused(Failure::invalid_input);
  return from_design(band,
                     feed::design_horn(design_frequencies(band, rules).design_ghz, beamwidth_deg,
                                       level_db, phase_deviation),
                     rules);
}

Synthesis synthesise_for_dish(const Band &band, double f_over_d, double edge_taper_db,
                              double phase_deviation, const SynthesisRules &rules) {
  if (!valid_band(band) || !positive(edge_taper_db))
    return refused(Failure::invalid_input);
  return from_design(band,
                     feed::design_for_edge_illumination(design_frequencies(band, rules).design_ghz,
                                                        f_over_d, -edge_taper_db, phase_deviation),
                     rules);
}

std::vector<double> band_frequencies(const Band &band, std::size_t count) {
  std::vector<double> f;
  if (count == 1)
    return {(band.min_ghz + band.max_ghz) / 2};
  for (std::size_t i = 0; i < count; ++i)
    f.push_back(band.min_ghz + (band.max_ghz - band.min_ghz) * static_cast<double>(i) /
                                   static_cast<double>(count - 1));
  return f;
}

} // namespace kelvor::asbuilt
