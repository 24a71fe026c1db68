// J_nu(x), the Bessel function of the first kind of real order nu >= 0, in single precision.
#pragma once

namespace kelvor::numeric {

// Ascending series for x <= 6, Hankel asymptotic form above. Argument first, then order.
float BESJ(const float &X, const float &ORDER);

} // namespace kelvor::numeric
