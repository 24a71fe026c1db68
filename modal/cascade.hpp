// The cascade of a staircase profile: each uniform section is its propagation, a diagonal
// exp(-j beta L) that decays for the evanescent modes, and sections join through the steps' GSMs by
// Redheffer star products. The star product solves for the multiple reflections between two
// networks (one LU of I - B11 A22) and never grows an exponential, so evanescent modes over long
// sections stay stable where transfer matrices would overflow.
#pragma once

#include "modal/junction.hpp"

namespace kelvor::modal {

// The network of A followed by B (A's port 2 joined to B's port 1).
ScatteringMatrix star(const ScatteringMatrix &a, const ScatteringMatrix &b);

// A followed by a uniform section whose modes propagate by the factors `propagation` (port 2 side).
void append_propagation(ScatteringMatrix &a, const Eigen::VectorXcd &propagation);

// A uniform section alone: no reflection, transmission by the factors `propagation`.
ScatteringMatrix uniform_section(const Eigen::VectorXcd &propagation);

} // namespace kelvor::modal
