// The mode content of an aperture field: how much of it is the balanced hybrid mode HE11.
// The balanced HE11 field of a corrugated guide of radius a is x^ J0(j01 r / a) over the aperture
// (Olver, Clarricoats, Kishk & Shafai 1994): the TE1n and TM1n forward waves project on it in
// closed form, <e_n, x^ J0(q r)> = pi a q J0(k_c a) J1(j01) / (q^2 - k_c^2), q = j01/a (Lommel's
// integral; x^ . e_n = J0(k_c r) cos^2 + J0(k_c r) sin^2 after J1' + J1/x = J0 for either kind of
// mode).
#pragma once

#include "modal/aperture_field.hpp"

namespace kelvor::modal {

// |<E, E_HE11>|^2 / (<E, E> <E_HE11, E_HE11>) over the aperture disk: 1 for the pure balanced
// hybrid mode, 0.845 for TE11 alone. NaN for an empty field.
double hybrid_purity(const ApertureField &field);

} // namespace kelvor::modal
