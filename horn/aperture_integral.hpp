// Both parts of the aperture integral at once, reusing every Bessel value that repeats.
#pragma once

#include <array>

namespace kelvor::horn {

// RE and IM: the integrals of FX2 over [0, 1] by GLINT's 16-point rule, with the part selector
// 0 and 1, for the block PARM = {any, rim phase, any, u}; the same bits as the two GLINT calls.
void APINT(const std::array<float, 4> &PARM, float &RE, float &IM);

} // namespace kelvor::horn
