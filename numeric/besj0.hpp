// J0(x), the Bessel function of the first kind of order zero, in single precision.
#pragma once

namespace kelvor::numeric {

// Ascending series for x <= 10 (any negative x included), Hankel asymptotic form above.
float BESJ0(const float &X);

} // namespace kelvor::numeric
