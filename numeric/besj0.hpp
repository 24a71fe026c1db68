// J0(x), the Bessel function of the first kind of order zero, in single precision.
#pragma once

namespace kelvor::numeric {

// Ascending series for x <= 10 (any negative x included), Hankel asymptotic form above.
float BESJ0(const float &X);

// The series' shape, shared with the sixteen-lane BESJ0N, which must add the same terms: the
// switch point to the asymptotic form, and at most 20 blocks of five terms, the sum tested for
// stagnation between blocks.
inline constexpr float kJ0SeriesLimit = 10.0f;
inline constexpr int kJ0Blocks = 20;
inline constexpr int kJ0BlockTerms = 5;

} // namespace kelvor::numeric
