#include "modal/staircase.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <tuple>

#include "modal/cascade.hpp"
#include "modal/units.hpp"

namespace kelvor::modal {

ModalWaves modal_waves(const GuideSection &section, double k_per_m) {
  const auto n = static_cast<Eigen::Index>(section.modes.size());
  ModalWaves waves{Eigen::VectorXcd(n), Eigen::VectorXcd(n)};
  for (Eigen::Index i = 0; i < n; ++i) {
    const Mode &mode = section.modes[static_cast<std::size_t>(i)];
    const std::complex<double> beta = axial_wavenumber(mode, section.radius_m, k_per_m);
    waves.sqrt_z(i) = std::sqrt(relative_impedance(mode, beta, k_per_m));
    waves.propagation(i) = std::exp(std::complex<double>(0, -1) * beta * section.length_m);
  }
  return waves;
}

Profile merged_profile(const Profile &profile) {
  Profile merged;
  for (const Section &section : profile) {
    if (!merged.empty() && merged.back().radius_m == section.radius_m)
      merged.back().length_m += section.length_m;
    else
      merged.push_back(section);
  }
  return merged;
}

std::vector<int> mode_counts_below(const Profile &profile, double highest_cutoff_per_m,
                                   int min_modes) {
  return mode_counts_below(
      profile, std::vector<double>(merged_profile(profile).size(), highest_cutoff_per_m),
      min_modes);
}

std::vector<int> mode_counts_below(const Profile &profile, const std::vector<double> &cutoffs_per_m,
                                   int min_modes) {
  std::vector<int> counts;
  const Profile merged = merged_profile(profile);
  for (std::size_t i = 0; i < merged.size(); ++i) {
    const int below = modes_below(cutoffs_per_m[i] * merged[i].radius_m);
    counts.push_back(std::max(min_modes, below + below % 2));
  }
  return counts;
}

std::vector<double> bore_radii(const Profile &merged, double window_m) {
  std::vector<double> start(merged.size()), end(merged.size()), bore(merged.size());
  double z = 0;
  for (std::size_t i = 0; i < merged.size(); ++i) {
    start[i] = z;
    z += merged[i].length_m;
    end[i] = z;
  }
  // Both ends of the window move forward with i: the indices in view, by ascending radius.
  std::deque<std::size_t> in_view;
  std::size_t first = 0, next = 0;
  for (std::size_t i = 0; i < merged.size(); ++i) {
    for (; next < merged.size() && start[next] <= end[i] + window_m; ++next) {
      while (!in_view.empty() && merged[in_view.back()].radius_m >= merged[next].radius_m)
        in_view.pop_back();
      in_view.push_back(next);
    }
    while (end[first] < start[i] - window_m)
      ++first;
    while (in_view.front() < first)
      in_view.pop_front();
    bore[i] = merged[in_view.front()].radius_m;
  }
  return bore;
}

double widest_cutoff_per_m(const Profile &profile, int widest_modes) {
  double widest_m = 0;
  for (const Section &section : profile)
    widest_m = std::max(widest_m, section.radius_m);
  const std::vector<Mode> modes = lowest_modes(widest_modes + 1);
  return (modes[static_cast<std::size_t>(widest_modes - 1)].cutoff_ka + modes.back().cutoff_ka) /
         2 / widest_m;
}

std::vector<int> proportional_mode_counts(const Profile &profile, int widest_modes, int min_modes) {
  return mode_counts_below(profile, widest_cutoff_per_m(profile, widest_modes), min_modes);
}

Staircase prepare_staircase(const Profile &profile, const std::vector<int> &mode_counts) {
  const Profile merged = merged_profile(profile);
  Staircase staircase;
  for (std::size_t i = 0; i < merged.size(); ++i)
    staircase.sections.push_back(
        {merged[i].length_m, merged[i].radius_m, lowest_modes(mode_counts[i])});
  std::map<std::tuple<double, double, std::size_t, std::size_t>, std::size_t> cache;
  for (std::size_t i = 0; i + 1 < merged.size(); ++i) {
    const GuideSection &left = staircase.sections[i], &right = staircase.sections[i + 1];
    const bool widening = left.radius_m < right.radius_m;
    const GuideSection &small = widening ? left : right, &large = widening ? right : left;
    const auto key =
        std::make_tuple(small.radius_m, large.radius_m, small.modes.size(), large.modes.size());
    auto [it, fresh] = cache.try_emplace(key, staircase.couplings.size());
    if (fresh)
      staircase.couplings.push_back(
          coupling_matrix(small.modes, small.radius_m, large.modes, large.radius_m));
    staircase.steps.push_back({it->second, widening});
  }
  return staircase;
}

ScatteringMatrix staircase_scattering(const Staircase &staircase, double freq_ghz) {
  const double k = wavenumber_per_m(freq_ghz);
  ModalWaves waves = modal_waves(staircase.sections.front(), k);
  ScatteringMatrix total = uniform_section(waves.propagation);
  for (std::size_t i = 0; i < staircase.steps.size(); ++i) {
    const Step &step = staircase.steps[i];
    ModalWaves next = modal_waves(staircase.sections[i + 1], k);
    const Eigen::MatrixXd &coupling = staircase.couplings[step.coupling];
    ScatteringMatrix junction =
        step.widening ? step_scattering(coupling, waves.sqrt_z, next.sqrt_z)
                      : mirrored(step_scattering(coupling, next.sqrt_z, waves.sqrt_z));
    total = star(total, junction);
    append_propagation(total, next.propagation);
    waves = std::move(next);
  }
  return total;
}

} // namespace kelvor::modal
