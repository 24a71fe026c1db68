// Phase centres: the unwrapped pattern phase at quadrature nodes, the axis-to-edge ratio and a
// weighted linear least-squares fit in cos theta.
#include "feed/phase_centre.hpp"

#include <cmath>
#include <complex>
#include <span>

#include "numeric/phase_fit.hpp"

namespace kelvor::feed {

namespace {

// Radians the sampled field may turn across one 20-point panel: a few nodes per radian of turn.
constexpr double kPanelTurn = 6.0;
// A horn inside HornPattern's work limit needs at most about 110 panels over pi radians.
constexpr std::size_t kMaxPanels = 512;

// The phase change from a to b, in (-pi, pi].
double phase_step(std::complex<double> a, std::complex<double> b) {
  return std::arg(b * std::conj(a));
}

} // namespace

std::size_t panels_for(double span_rad, double turn_rate) {
  return numeric::panels_for_turn(span_rad * turn_rate, kPanelTurn, kMaxPanels)
      .value_or(kMaxPanels);
}

std::optional<double> fitted_phase_centre(const AngularSamples &samples, std::size_t count,
                                          double k) {
  return numeric::fitted_phase_centre_m(std::span(samples.theta_rad).first(count),
                                        std::span(samples.weight_rad).first(count),
                                        std::span(samples.field).first(count), k);
}

PhaseCentre phase_centre(const HornPattern &pattern, double edge_rad) {
  PhaseCentre pc;
  pc.failure = pattern.failure();
  if (pc.failure == Failure::none && !(edge_rad > 0 && edge_rad <= kPi))
    pc.failure = Failure::invalid_input;
  if (pc.failure != Failure::none)
    return pc;
  pc.validity = model_validity(pattern.horn(), pattern.freq_ghz());
  const auto field = [&](double theta) { return pattern.field(theta); };
  AngularSamples samples;
  const double turn = pattern.ka() + 4 * kPi * pattern.phase_deviation();
  sample_pattern(field, 0, edge_rad, panels_for(edge_rad, turn), samples);
  const double k = pattern.wavenumber_per_m();
  pc.fitted_m = fitted_phase_centre(samples, samples.field.size(), k).value_or(kNaN);
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
