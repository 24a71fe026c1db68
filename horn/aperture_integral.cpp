// The aperture integral without recomputing what repeats. Through GLINT with FX2 each of the
// 16 nodes costs two J0 values per part: the taper J0(2.4048255 rho) and the kernel J0(u rho).
// Both are functions of single-precision operands that do not change between the calls:
// - the taper (times the weight rho) depends on the node alone, the same in every call of every
//   run; it is taken once from FX2 itself with the kernel and the phase factor switched off
//   (u = 0, part selector neither 0 nor 1), so it is FX2's own rounded value;
// - the kernel depends on u and the node, the same for the real and the imaginary part; the 16
//   of one call are computed once, side by side (BESJ0N, bit for bit BESJ0), and those of four
//   angles together when the caller has four (APINT4);
// - the phase factors cos(phi rho^2) and sin(phi rho^2) depend on the rim phase and the node,
//   not on u: they are computed once per horn and frequency (phase_factors) and serve every
//   angle, from the same double product of the same float operands as in FX2.
// Each integrand value is then formed as FX2 forms it (kernel times taper, rounded; then the
// phase factor, rounded) and the terms are summed in GLINT's order with GLINT's rounding, so the
// results are bit for bit those of the two GLINT calls.
#include "horn/aperture_integral.hpp"

#include <cmath>
#include <cstddef>

#include "horn/pattern.hpp"
#include "numeric/besj0_lanes.hpp"
#include "numeric/glint_tables.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::rounded;

namespace {

constexpr std::size_t N = kApertureNodes;
constexpr int kPoints = static_cast<int>(N);
static_assert(N == numeric::J0LANES && kPoints % 2 == 0, "one lane per node of an even rule");
static_assert(kBatchAngles * N == numeric::J0LANES4, "four integrals fill the wide lanes");
using Nodes = std::array<float, N>;

// The 16-point rule on [0, 1] in the order GLINT visits it: for each tabulated abscissa z,
// from the midpoint outwards, the lower point mid - h z, then the upper h z + mid.
struct Rule {
  float half = 0.0f;
  Nodes rho{}, weight{}, taper{};
};

std::size_t order_index() {
  std::size_t order = 0;
  while (numeric::NORDER[order] != kPoints)
    ++order;
  return order;
}

Rule make_rule() {
  Rule r;
  const float lo = 0.0f;
  const float hi = 1.0f;
  r.half = rounded((double{hi} - lo) / 2);
  const float mid = rounded((double{hi} + lo) / 2);
  const std::size_t order = order_index();
  const auto node0 = static_cast<std::size_t>(numeric::INODE[order] - 1);
  const auto weight0 = static_cast<std::size_t>(numeric::IWGT[order] - 1);
  for (std::size_t j = 0; j < N / 2; ++j) {
    const double z = numeric::NODE[node0 + j];
    r.rho[2 * j] = rounded(double{mid} - double{r.half} * z);
    r.rho[2 * j + 1] = rounded(double{r.half} * z + mid);
    r.weight[2 * j] = r.weight[2 * j + 1] = numeric::WEIGHT[weight0 + j];
  }
  constexpr float neither_part = 2.0f;
  constexpr float on_axis = 0.0f;
  for (std::size_t i = 0; i < N; ++i) {
    const std::array<float, 4> block = {r.rho[i], 0.0f, neither_part, on_axis};
    r.taper[i] = FX2(block);
  }
  return r;
}

const Rule &rule() {
  static const Rule r = make_rule();
  return r;
}

} // namespace

PhaseFactors phase_factors(float PHI) {
  const Rule &r = rule();
  PhaseFactors p;
  for (std::size_t i = 0; i < N; ++i) {
    const double lag = double{PHI} * r.rho[i] * r.rho[i];
    p.cos[i] = std::cos(lag);
    p.sin[i] = std::sin(lag);
  }
  return p;
}

namespace {

// The integrals at M transverse arguments: the kernels of all M run side by side, and the 2 M
// sums, independent of one another, advance together.
template <std::size_t M>
void integrate(const PhaseFactors &PHASE, const std::array<float, M> &U, std::array<float, M> &RE,
               std::array<float, M> &IM) {
  const Rule &r = rule();
  std::array<Nodes, M> f;
  f.fill(r.taper);
  // Off the axis the kernel J0(u rho); on it FX2 skips the factor.
  bool off_axis = false;
  for (const float u : U)
    off_axis = off_axis || u != 0.0f;
  if (off_axis) {
    std::array<float, M * N> arg{}, kernel{};
    for (std::size_t a = 0; a < M; ++a)
      for (std::size_t i = 0; i < N; ++i)
        arg[a * N + i] = rounded(double{U[a]} * r.rho[i]);
    numeric::BESJ0N(arg, kernel);
    for (std::size_t a = 0; a < M; ++a)
      if (U[a] != 0.0f)
        for (std::size_t i = 0; i < N; ++i)
          f[a][i] = rounded(double{kernel[a * N + i]} * f[a][i]);
  }
  // The two parts as the two GLINT calls form them: each a running float sum rounded after every
  // term, times the half-length once at the end.
  std::array<float, M> re{}, im{};
  for (std::size_t i = 0; i < N; ++i)
    for (std::size_t a = 0; a < M; ++a) {
      const float re_term = rounded(PHASE.cos[i] * f[a][i]);
      const float im_term = rounded(-(PHASE.sin[i] * f[a][i]));
      re[a] = rounded(double{re[a]} + double{re_term} * r.weight[i]);
      im[a] = rounded(double{im[a]} + double{im_term} * r.weight[i]);
    }
  for (std::size_t a = 0; a < M; ++a) {
    RE[a] = rounded(double{r.half} * re[a]);
    IM[a] = rounded(double{r.half} * im[a]);
  }
}

} // namespace

void APINT(const PhaseFactors &PHASE, float U, float &RE, float &IM) {
  std::array<float, 1> re{}, im{};
  integrate<1>(PHASE, {U}, re, im);
  RE = re[0];
  IM = im[0];
}

void APINT4(const PhaseFactors &PHASE, const std::array<float, kBatchAngles> &U,
            std::array<float, kBatchAngles> &RE, std::array<float, kBatchAngles> &IM) {
  integrate(PHASE, U, RE, IM);
}

} // namespace kelvor::horn
