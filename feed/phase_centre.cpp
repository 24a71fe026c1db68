// Phase centres: the unwrapped pattern phase at quadrature nodes, the axis-to-edge ratio and a
// weighted linear least-squares fit in cos theta.
#include "feed/phase_centre.hpp"

#include <cmath>
#include <complex>

namespace kelvor::feed {

namespace {

// Radians the sampled field may turn across one 20-point panel: a few nodes per radian of turn.
constexpr double kPanelTurn = 6.0;

// The phase change from a to b, in (-pi, pi].
double phase_step(std::complex<double> a, std::complex<double> b) {
  return std::arg(b * std::conj(a));
}

} // namespace

std::size_t panels_for(double span_rad, double turn_rate) {
  return 1 + static_cast<std::size_t>(std::ceil(span_rad * turn_rate / kPanelTurn));
}

double fitted_phase_centre(const AngularSamples &samples, std::size_t count, double k) {
  // Weighted regression of the unwrapped phase y on x = cos theta: y = phi0 - k d x.
  double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  double phase = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0)
      phase += phase_step(samples.field[i - 1], samples.field[i]);
    const double theta = samples.theta_rad[i];
    const double w = samples.weight_rad[i] * std::norm(samples.field[i]) * std::sin(theta);
    const double x = std::cos(theta);
    sw += w;
    sx += w * x;
    sy += w * phase;
    sxx += w * x * x;
    sxy += w * x * phase;
  }
  const double slope = (sw * sxy - sx * sy) / (sw * sxx - sx * sx);
  return -slope / k;
}

PhaseCentre phase_centre(const HornPattern &pattern, double edge_rad) {
  PhaseCentre pc;
  pc.failure = pattern.failure();
  if (pc.failure == Failure::none && !(edge_rad > 0 && edge_rad <= kPi))
    pc.failure = Failure::invalid_input;
  if (pc.failure != Failure::none)
    return pc;
  const auto field = [&](double theta) { return pattern.field(theta); };
  AngularSamples samples;
  const double turn = pattern.ka() + 4 * kPi * pattern.phase_deviation();
  sample_pattern(field, 0, edge_rad, panels_for(edge_rad, turn), samples);
  const double k = pattern.wavenumber_per_m();
  pc.fitted_m = fitted_phase_centre(samples, samples.field.size(), k);
  // Axis to edge along the same nodes.
  double change = phase_step(field(0), samples.field.front());
  for (std::size_t i = 1; i < samples.field.size(); ++i)
    change += phase_step(samples.field[i - 1], samples.field[i]);
  change += phase_step(samples.field.back(), field(edge_rad));
  pc.axis_to_edge_m = change / (k * (1 - std::cos(edge_rad)));
  return pc;
}

PhaseCentre phase_centre(const Horn &horn, double freq_ghz, double edge_rad) {
  return phase_centre(HornPattern(horn, freq_ghz), edge_rad);
}

} // namespace kelvor::feed
