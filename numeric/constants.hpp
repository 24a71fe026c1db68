// The physical and mathematical constants of the numerical library and the horn model, each
// defined once. They are single-precision values: every formula reads its constants as floats,
// so a routine's printed digits depend on the exact bits of the float it uses. Where two routines
// use different roundings of the same number, each keeps its own float, named after its users;
// replacing one by the other moves last digits of that routine's results.
#pragma once

namespace kelvor::numeric {

// Free-space wavelength in inches times frequency in GHz (the speed of light): the wavelength
// in inches is CLIGHT / f for f in GHz. Shared by the dialogue, the pattern and the gain.
inline constexpr float CLIGHT = 11.80285f;

// The same speed of light divided by 2 pi, rounded once to float: the gain's aperture factor
// 2 pi a / lambda is a f / kLightOverTwoPi, with no separate rounding of 2 pi.
inline constexpr float kLightOverTwoPi = 1.878482f;

// Radians per degree, used by the pattern, the phase centre and the beamwidth.
inline constexpr float kDegToRad = 0.01745329f;

// 2 pi as the beamwidth design and analysis use it to convert between the pattern variable
// u = 2 pi a sin(theta) / lambda and a sin(theta) / lambda: written with seven digits, 6.283185,
// one float below the float nearest to 2 pi.
inline constexpr float kTwoPiBeamwidth = 6.283185f;

// 2 pi as the pattern integral uses it: 6.2831853, the float nearest to 2 pi, for the
// transverse argument u and the rim phase of the aperture field.
inline constexpr float kTwoPiPattern = 6.2831853f;

// 20 / ln 10, the dB of one neper of amplitude, as the gain uses it: 8.685889, the float
// nearest to 20 / ln 10.
inline constexpr float kDbPerNeperGain = 8.685889f;

// 20 / ln 10 as the pattern level uses it: written with six digits, 8.68589, one float above
// the gain's value.
inline constexpr float kDbPerNeperPattern = 8.68589f;

// pi as the Bessel functions' asymptotic phase uses it: 3.141593, one float above the float
// nearest to pi.
inline constexpr float kPiBessel = 3.141593f;

// pi/4, the phase lag of J0's asymptotic form: 0.7853982, the float nearest to pi/4.
inline constexpr float kQuarterPiBessel = 0.7853982f;

// 2/pi, under the square root of J0's asymptotic amplitude sqrt(2/(pi x)): written with seven
// digits, 0.6366198, one float above the float nearest to 2/pi.
inline constexpr float kTwoOverPiBessel = 0.6366198f;

// The first zero of J0, 2.4048255 (the float nearest to it): the corrugated horn's aperture field
// J0(2.4048255 rho) vanishes at the wall, rho = 1.
inline constexpr float kFirstZeroJ0 = 2.4048255f;
// The same zero to double precision, for the model-true path, which integrates the model in
// double and must not carry the float's error of 5e-8.
inline constexpr double kFirstZeroJ0Double = 2.404825557695773;

} // namespace kelvor::numeric
