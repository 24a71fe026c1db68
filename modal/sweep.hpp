// The answer the analysis needs, without the whole GSM: the input reflection of TE11 and the
// forward waves at the aperture for one incident TE11 wave, the last section ending in a matched
// guide. The star product of each step with its load, evaluated only for the blocks that answer
// needs, in two sweeps:
//  - backward, from the matched aperture to the input: the reflection matrix G seen from a step's
//    far side (the next section's reflection carried through that section, P G P with P its
//    diagonal propagation) gives the reflection seen from its near side;
//  - forward, the single incident vector: each step's outgoing wave into the next section, from the
//    LU factors the backward sweep kept, then that section's propagation.
// Like the full star product (cascade.hpp) it inverts only I - S22 G (no transfer matrices), so
// evanescent modes stay stable; it is singular only where that is, at the structure's resonances.
//
// A step's mode-matching equations (junction.hpp) with its load eliminated. With the far-by-near
// coupling Y (X^T for a widening step, X for a narrowing one), the diagonal scalings E_f, E_n
// (1/sqrt(Z_far), sqrt(Z_near) widening; sqrt(Z_far), 1/sqrt(Z_near) narrowing) and s = -1
// widening, +1 narrowing:
//   B = E_f Y E_n,   R = (I + s G) B,   H = I - s G + R B^T   (H^T = (I + B B^T)(I - S22 G)),
//   reflection  s (2 (H^-1 R)^T B - I),   outgoing wave  2 H^-T B a  for an incident wave a.
// Every product with the real coupling is one real matrix product on the complex matrix's real
// view, half a complex product's work. Work per step, N its modes: about 2.5 N^3 complex
// multiply-adds where the full GSM and its star product take about 13 N^3.
//
// Speed (bench/README.md): the 60-slot horn's two sweeps with 48 modes in its widest slot take
// 5.7 ms of CPU with the AVX2 kernel and 10.7 ms with the portable one (sweep_kernel.hpp); the
// whole analysis took 13.3 ms before the kernel dropped Eigen's L1 norm, fused its scalings and
// gained its AVX2 build.
//
// Accuracy: the same as the full star product's, to rounding. modal_test's
// SweepAgreesWithTheFullStarProduct measures the two against each other on random staircases with
// evanescent modes and on the 60-slot horn: within 1e-12 relative on S11 and on the aperture waves.
#pragma once

#include <complex>

#include <Eigen/Dense>

#include "modal/staircase.hpp"

namespace kelvor::modal {

struct Te11Response {
  std::complex<double> s11; // reflected over incident TE11 at the start of the input guide
  Eigen::VectorXcd forward; // forward waves at the aperture plane, in the last section's modes
};

// Which build of the arithmetic (sweep_kernel.hpp): the fastest this CPU runs, or the portable one
// (to measure the two against each other).
enum class SweepBuild { fastest, portable };

Te11Response te11_response(const Staircase &staircase, double freq_ghz,
                           SweepBuild build = SweepBuild::fastest);

} // namespace kelvor::modal
