// Both parts of the aperture integral at once, reusing every Bessel value and phase factor that
// repeats.
#pragma once

#include <array>
#include <cstddef>

namespace kelvor::horn {

// Nodes of the aperture integral: GLINT's 16-point rule on [0, 1].
inline constexpr std::size_t kApertureNodes = 16;

// The quadratic phase lag exp(-j phi rho^2) at every node, as FX2 forms it: cos(phi rho^2) and
// sin(phi rho^2) in double, before the product with the amplitude is rounded. It depends on the
// rim phase phi alone, that is on the horn and the frequency, not on the angle: one set serves
// every point of a pattern.
struct PhaseFactors {
  std::array<double, kApertureNodes> cos{}, sin{};
};

// The phase factors of the rim phase PHI (radians, 2 pi s).
PhaseFactors phase_factors(float PHI);

// RE and IM: the integrals of FX2 over [0, 1] by GLINT's 16-point rule, with the part selector
// 0 and 1, for the block {any, rim phase, any, U} whose rim phase has the factors PHASE; the same
// bits as the two GLINT calls.
void APINT(const PhaseFactors &PHASE, float U, float &RE, float &IM);

// Transverse arguments per call of APINT4: the four off-axis samples of a phase centre.
inline constexpr std::size_t kBatchAngles = 4;

// RE(i) and IM(i) as APINT gives them at U(i), bit for bit, for four arguments at once: their
// Bessel series run side by side, enough of them to fill the processor's wide vectors.
void APINT4(const PhaseFactors &PHASE, const std::array<float, kBatchAngles> &U,
            std::array<float, kBatchAngles> &RE, std::array<float, kBatchAngles> &IM);

} // namespace kelvor::horn
