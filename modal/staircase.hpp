// A profile prepared for mode matching: neighbours of equal radius merged into one section, each
// section given its modes (a count in proportion to its radius), and each step its coupling matrix.
// All of it depends on the geometry alone; staircase_scattering then costs, per frequency, only the
// impedances, the steps' GSMs and the star products. Identical steps (the same radii and mode
// counts, as in a run of identical slots and teeth) share one coupling matrix.
#pragma once

#include <cstddef>
#include <vector>

#include "modal/junction.hpp"
#include "modal/profile.hpp"

namespace kelvor::modal {

struct GuideSection {
  double length_m, radius_m;
  std::vector<Mode> modes;
};

struct Step {
  std::size_t coupling; // index into Staircase::couplings
  bool widening;        // the guide on the input side is the smaller one
};

struct Staircase {
  std::vector<GuideSection> sections; // merged, input guide first
  std::vector<Step> steps;            // steps[i] joins sections[i] and sections[i + 1]
  std::vector<Eigen::MatrixXd> couplings;
};

// Mode counts on one common cut-off: each merged section of the profile gets its TE1n/TM1n modes
// whose cut-off wavenumber lies below highest_cutoff_per_m, completed to whole TE1n/TM1n pairs (an
// even count; modes.hpp's order alternates TE1n, TM1n), and at least min_modes. The counts so go as
// the radii at every scale of the cut-off (relative convergence, Mittra, Itoh & Li 1972), and no
// guide ends on a TE1n without its TM1n: with the pairs, S11 of a step converges monotonically as
// the cut-off grows, where counts ending on either kind oscillate by tenths of a dB (analysis.cpp).
// A count past the zero table is mode_table_size() + 2. The profile must pass check_profile.
std::vector<int> mode_counts_below(const Profile &profile, double highest_cutoff_per_m,
                                   int min_modes);

// The same with a cut-off of each merged section's own (cutoffs_per_m, one per merged section).
std::vector<int> mode_counts_below(const Profile &profile, const std::vector<double> &cutoffs_per_m,
                                   int min_modes);

// The bore of every merged section: the smallest radius among the merged sections that reach
// within window_m of it along the axis, its own and its neighbours' included (a slot's bore is the
// radius of the teeth beside it). A sliding-window minimum: linear in the number of sections.
std::vector<double> bore_radii(const Profile &merged, double window_m);

// The cut-off wavenumber (1/m) halfway between the widest section's widest_modes-th TE1n/TM1n mode
// and the next (widest_modes >= 1): below it that section holds widest_modes.
double widest_cutoff_per_m(const Profile &profile, int widest_modes);

// mode_counts_below with widest_cutoff_per_m: the widest section gets widest_modes, made even.
std::vector<int> proportional_mode_counts(const Profile &profile, int widest_modes, int min_modes);

// The merged profile with its modes and couplings; counts as proportional_mode_counts gives them.
Staircase prepare_staircase(const Profile &profile, const std::vector<int> &mode_counts);

// A section's modes at one frequency: the square roots of their relative wave impedances and their
// propagation factors exp(-j beta L) over the section's length.
struct ModalWaves {
  Eigen::VectorXcd sqrt_z, propagation;
};
ModalWaves modal_waves(const GuideSection &section, double k_per_m);

// The merged profile alone: equal-radius neighbours joined, lengths added.
Profile merged_profile(const Profile &profile);

// The GSM of the whole staircase at freq_ghz: port 1 the input guide's modes at the start of the
// first section, port 2 the last section's modes at its end (the aperture plane).
ScatteringMatrix staircase_scattering(const Staircase &staircase, double freq_ghz);

} // namespace kelvor::modal
