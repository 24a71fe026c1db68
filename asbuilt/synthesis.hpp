// The corrugated conical horn that realises a band and a beam: the published design rules turned
// into a machinable geometry (input waveguide, mode converter, quarter-wave flare slots, aperture)
// and the section list the mode-matching analysis takes.
//
// Sources of the rules (each cited again where it is applied):
//   [GJ]  C. Granet, G. L. James, "Design of corrugated horns: a primer", IEEE Antennas and
//         Propagation Magazine 47(2), 76-84, 2005: design and output frequencies, input radius,
//         pitch, slot-to-pitch ratio, the converter's depth taper, the ka-corrected flare depth.
//   [J81] G. L. James, "Analysis and design of TE11-to-HE11 corrugated cylindrical waveguide mode
//         converters", IEEE Trans. MTT-29(10), 1981: a converter of slots whose depth falls from
//         about half a wavelength to about a quarter.
//   [CO]  P. J. B. Clarricoats, A. D. Olver, Corrugated Horns for Microwave Antennas, IEE, 1984:
//         quarter-wave slots make the wall's reactance large, the balanced hybrid condition.
// Every choice the rules leave open is a member of SynthesisRules with the primer's default.
#pragma once

#include <cstddef>
#include <vector>

#include "asbuilt/failure.hpp"
#include "modal/profile.hpp"

namespace kelvor::asbuilt {

// A frequency band, GHz.
struct Band {
  double min_ghz = 0;
  double max_ghz = 0;
};

// The open choices of the rules. Defaults are those of [GJ]; a value outside the range the
// source gives is refused (Failure::invalid_rule).
// count frequencies evenly spaced over the band, its edges included (one: the band's centre).
std::vector<double> band_frequencies(const Band &band, std::size_t count);

struct SynthesisRules {
  // Bands up to this ratio f_max/f_min are narrow: f_c = sqrt(f_min f_max) and the flare's slots
  // keep the depth of f_c to the aperture. Wider bands up to max_band_ratio: f_c =
  // wide_design_factor f_min, and the slots taper to the depth of f_o = wide_output_factor f_c at
  // the aperture [GJ].
  double narrow_band_ratio = 1.4;
  double max_band_ratio = 2.4;
  double wide_design_factor = 1.2;
  double wide_output_factor = 1.05;
  // k_c a_i, the input waveguide's radius in units of 1/k_c: 3, a_i = 3 lambda_c / (2 pi) [GJ].
  double input_kca = 3.0;
  // Length of the input waveguide before the first slot, in lambda_c (the reference plane of S11).
  double input_length_wavelengths = 0.5;
  // The pitch p, in lambda_c: lambda_c/10 to lambda_c/5 [GJ]; lambda_c/8 between.
  double pitch_wavelengths = 0.125;
  // delta = slot width / pitch: 0.7 to 0.9 [GJ]; the tooth is (1 - delta) p.
  double slot_to_pitch = 0.8;
  // Slots in the mode converter [GJ, J81]: several; 5.
  std::size_t converter_slots = 5;
  // sigma, the first converter slot's depth in lambda_c: 0.4 to 0.5 [GJ]; the depth then falls
  // linearly to the ka-corrected quarter wave at the first flare slot.
  double first_slot_depth_wavelengths = 0.45;
  // The workshop's limits (m): the narrowest tooth and slot and the shallowest slot it cuts.
  double min_tooth_m = 0.3e-3;
  double min_slot_m = 0.3e-3;
  double min_depth_m = 0.3e-3;
  // The most slots a horn may have: bounds the analysis that follows.
  std::size_t max_slots = 600;
};

// f_c, at which the flare's slots are a ka-corrected quarter wave, and f_o, at which the
// aperture's are (GHz): sqrt(f_min f_max) for both in a narrow band, wide_design_factor f_min and
// wide_output_factor f_c in a wide one [GJ].
struct DesignFrequencies {
  double design_ghz = 0;
  double output_ghz = 0;
};
DesignFrequencies design_frequencies(const Band &band, const SynthesisRules &rules);

// One corrugation: a slot followed by a tooth. The tooth's bore is the horn's wall at this
// corrugation, inner_radius_m; the slot is cut depth_m into the wall from it.
struct Corrugation {
  double inner_radius_m = 0;
  double depth_m = 0;
  double slot_width_m = 0;
  double tooth_width_m = 0;
};

// A corrugated horn: the input waveguide, then the corrugations from the throat to the aperture;
// the last tooth's bore is the aperture.
struct CorrugatedHorn {
  double input_radius_m = 0;
  double input_length_m = 0;
  std::vector<Corrugation> corrugations;
};

// The horn as the mode-matching analysis takes it: the input waveguide, then for each corrugation
// its slot (radius inner + depth) and its tooth (radius inner); no sections for the empty horn.
modal::Profile profile(const CorrugatedHorn &horn);

// A row of the slot table for people: where the slot starts (m from the input reference plane,
// the start of the input waveguide), the wall's radius there, its depth and its width.
struct Slot {
  double z_m = 0;
  double inner_radius_m = 0;
  double depth_m = 0;
  double width_m = 0;
};
std::vector<Slot> slot_table(const CorrugatedHorn &horn);

// Failure::none when every slot and tooth is at least the workshop's width and every depth at
// least its depth (rules' min_*), Failure::not_machinable otherwise, invalid_input for a length
// not finite and positive.
Failure check_machinable(const CorrugatedHorn &horn, const SynthesisRules &rules);

// The synthesised horn with the frequencies and dimensions the rules chose.
struct Synthesis {
  CorrugatedHorn horn;
  double design_freq_ghz = 0; // f_c: the flare's slots are a ka-corrected quarter wave here
  double output_freq_ghz = 0; // f_o: the aperture's slots are a quarter wave here
  double aperture_radius_m = 0;
  double slant_radius_m = 0;
  double flare_half_angle_deg = 0;
  double pitch_m = 0; // the rule's pitch stretched so that whole pitches fill the flare
  std::size_t converter_slots = 0;
  Failure failure = Failure::none;
};

// The horn of aperture radius a_o and slant radius R (apex to the aperture's rim: sin(alpha) =
// a_o / R) for the band: f_c, f_o, a_i = input_kca / k_c; the flare a straight cone from a_i to
// a_o over (a_o - a_i) / tan(alpha), cut into N = round(length / p) corrugations of equal pitch,
// the j-th tooth's bore a_j = a_i + (a_o - a_i) j / N. Depths, j = 1..N, N_MC converter slots:
//   d(k, a) = lambda/4 exp(1 / (2.114 (k a)^1.134))                     (ka correction [GJ])
//   j <= N_MC:  d_j = [sigma - (j-1)/N_MC (sigma - d(k_c, a_j)/lambda_c)] lambda_c   [GJ, J81]
//   j >  N_MC:  d_j = d(k_c, a_j) - (j-N_MC-1)/(N-N_MC-1) (d(k_c, a_j) - d(k_o, a_j)) [GJ]
// Failures (empty horn): invalid_input, invalid_rule, band_too_wide, input_below_cutoff (k a_i at
// f_min not above j'_11 = 1.8412), no_cone, aperture_too_small, too_few_slots (N <= N_MC),
// too_much_work (N > max_slots), not_machinable.
Synthesis synthesise(const Band &band, double aperture_radius_m, double slant_radius_m,
                     const SynthesisRules &rules = {});

// The same from a beam: feed::design_horn at f_c gives the aperture and slant radius of the
// horn whose model pattern falls to -level_db at half of beamwidth_deg, for the aperture phase
// deviation S (cycles, at f_c). Failure::beam_not_designed when the model has no such horn.
Synthesis synthesise_for_beam(const Band &band, double beamwidth_deg, double level_db,
                              double phase_deviation, const SynthesisRules &rules = {});

// The same from a prime-focus dish: the rim at theta_0 = 2 atan(1 / (4 f/D)) is to be illuminated
// edge_taper_db below the vertex (positive dB); the path to the rim takes the space attenuation
// -20 log10((1 + cos theta_0) / 2), so the horn's own pattern falls by the rest at theta_0.
// Failure::beam_not_designed when the space attenuation alone exceeds the taper.
Synthesis synthesise_for_dish(const Band &band, double f_over_d, double edge_taper_db,
                              double phase_deviation, const SynthesisRules &rules = {});

} // namespace kelvor::asbuilt
