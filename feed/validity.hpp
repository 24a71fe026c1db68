// Where the model stops. The model-true pattern is the balanced hybrid HE11 mode's J0 aperture
// field with the quadratic phase S = a^2 / (2 lambda R): a large-aperture, small-flare limit.
// Every model-true result carries a Validity besides its Failure: an answer flagged here is
// computed on the model as stated, but a real horn would depart from it.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "feed/pattern.hpp"

namespace kelvor::feed {

enum class Validity {
  valid,              // inside the limits below
  below_cutoff,       // k a < j'11: the aperture, and so the input guide, is below TE11 cut-off
  aperture_too_small, // k a below kMinHybridKa: the HE11 mode's beta/k under 0.9
  flare_too_wide,     // the spherical cap's rim phase exceeds S by more than kMaxRimPhaseExcess
};
inline constexpr Validity kLastValidity = Validity::flare_too_wide; // keep it the last enumerator

inline constexpr std::array<const char *, 4> kValidityNames{
    "valid",
    "below the input guide's cut-off",
    "aperture too small for the balanced hybrid mode",
    "flare too wide for the quadratic phase",
};
static_assert(kValidityNames.size() == static_cast<std::size_t>(kLastValidity) + 1,
              "every Validity has its name");

const char *describe(Validity validity);

// The TE11 cut-off of a circular guide: k a = j'11, the first zero of J1' (a = 0.293 lambda).
// The model has no input-guide radius; the guide is narrower than the aperture, so an aperture
// below cut-off means an input guide below it too.
inline constexpr double kCutoffKa = 1.8411837813406593;

// The balanced hybrid HE11 mode of a corrugated guide of radius a has kc = x0 / a (x0 = 2.405,
// the first zero of J0) and beta/k = sqrt(1 - (x0 / ka)^2). Its J0 aperture field and equal
// E- and H-plane patterns are the beta/k -> 1 limit; at a = 0.52 lambda (beta/k = 0.68) the
// planes differ by about 1.3 dB at 64 degrees with a cross-polar level near -25 dB. The model is
// held valid for beta/k >= 0.9: k a >= x0 / sqrt(1 - 0.81) = 5.517, a >= 0.878 lambda (published
// design practice uses apertures of about a wavelength in radius or more).
inline constexpr double kMinHybridBetaOverK = 0.9;
inline constexpr double kMinHybridKa = 5.517048201494588;

// The true aperture phase of a cone of slant radius R is that of the spherical cap: the rim lags
// the centre by (R - sqrt(R^2 - a^2)) / lambda cycles, which the quadratic phase approximates
// by S = a^2 / (2 lambda R); the excess is about S (a/R)^2 / 4 (at S = 2 and a 40-degree
// semi-flare, 2.27 cycles against 2). The model is held valid while the excess is at most a
// sixteenth of a cycle (22.5 degrees, the classic tolerance for a phase error at the rim); a cone
// with R < a has no cap and is flagged too.
inline constexpr double kMaxRimPhaseExcess = 1.0 / 16;

// The rim phase (cycles) of the spherical cap of the horn at freq_ghz: the true counterpart of S
// (infinite when R < a; 0 for a flat phase front).
double rim_phase_cycles(const Horn &horn, double freq_ghz);

// The first limit the horn breaks at freq_ghz, in the order of the enum; valid for a horn that
// check_horn refuses (its Failure says why).
Validity model_validity(const Horn &horn, double freq_ghz);
// The same over a band: the first limit broken at any of the frequencies, in the enum's order.
Validity model_validity(const Horn &horn, std::span<const double> freq_ghz);

} // namespace kelvor::feed
