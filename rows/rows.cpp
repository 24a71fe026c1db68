// Each assignment is one formula evaluated in double from single-precision
// operands and rounded once when it is stored, in the order the tables have
// always been computed: the printed digits depend on the last bit of each step.
#include "rows/rows.hpp"

#include <cmath>
#include <limits>

#include "horn/beamwidth.hpp"
#include "horn/gain.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::rows {

using horn::CCBWD;
using horn::CCBWT;
using horn::CRNGN;
using numeric::rounded;

namespace {

std::size_t slot(std::int32_t index) {
  return static_cast<std::size_t>(index - 1);
}

template <class Row> Row nan_row() {
  Row row;
  row.printed.fill(std::numeric_limits<float>::quiet_NaN());
  return row;
}

} // namespace

DesignRow design_row(const DesignRequest &request, float PHDEV, PhaseCentre phase_centre) {
  const std::int32_t KLEV = request.levels.KLEV;
  if (!is_level_index(KLEV))
    return nan_row<DesignRow>();
  const std::size_t lev = slot(KLEV);
  const float WAVEL = wavelength(request.FREQ);
  DesignRow r;
  r.PHDEV = PHDEV;
  // A full beamwidth grows with the square root of the level in dB: carry the
  // required beamwidth to the nominal level the design tables hold.
  r.BWNOM = rounded(std::sqrt(static_cast<double>(LEVNOM[lev]) / request.levels.LEVCOL[lev]) *
                    request.BWUSR);
  CCBWD(r.PHDEV, r.ARADWL, r.BWNOM, KLEV);
  constexpr std::int32_t ten_db = 3;
  CCBWT(r.PHDEV, r.ARADWL, r.BW10, ten_db);
  r.SRAD = horn::slant_radius(r.ARADWL, r.PHDEV, WAVEL);
  r.ARAD = rounded(static_cast<double>(WAVEL) * r.ARADWL);
  phase_centre(request.FREQ, r.ARAD, r.SRAD, r.BW10, r.PCTR);
  CRNGN(request.FREQ, r.ARAD, r.SRAD, r.GAINDB);
  const double f = unit_factor(request.IUNIT);
  r.printed = {r.PHDEV, from_inches(r.ARAD, request.IUNIT), from_inches(r.SRAD, request.IUNIT),
               r.GAINDB, rounded(static_cast<double>(r.PCTR) * WAVEL * f)};
  return r;
}

ResponseRow response_row(const ResponseRequest &request, float FRESP, PhaseCentre phase_centre) {
  const std::int32_t KLEV = request.levels.KLEV;
  if (!is_level_index(KLEV))
    return nan_row<ResponseRow>();
  const std::size_t lev = slot(KLEV);
  ResponseRow r;
  r.FRESP = FRESP;
  r.WAVELR = wavelength(FRESP);
  r.ARADWL = rounded(static_cast<double>(request.ARAD) / r.WAVELR);
  r.SRADWL = rounded(static_cast<double>(request.SRAD) / r.WAVELR);
  // From the radii in wavelengths, each rounded once.
  constexpr float one_wavelength = 1.0f;
  r.PHDEV = horn::phase_deviation(r.ARADWL, r.SRADWL, one_wavelength);
  for (std::int32_t j = 1; is_level_index(j); ++j)
    CCBWT(r.PHDEV, r.ARADWL, r.BWCOL[slot(j)], j);
  r.BW10 = r.BWCOL[2];
  // Carry the beamwidth at the nominal level back to the user's level.
  r.BWCOL[lev] = rounded(std::sqrt(static_cast<double>(request.levels.LEVCOL[lev]) / LEVNOM[lev]) *
                         r.BWCOL[lev]);
  phase_centre(FRESP, request.ARAD, request.SRAD, r.BW10, r.PCTR);
  CRNGN(FRESP, request.ARAD, request.SRAD, r.GAINDB);
  const double f = unit_factor(request.IUNIT);
  r.printed = {r.FRESP,
               r.BWCOL[0],
               r.BWCOL[1],
               r.BWCOL[2],
               r.BWCOL[3],
               r.GAINDB,
               rounded(static_cast<double>(r.PCTR) * r.WAVELR * f)};
  return r;
}

} // namespace kelvor::rows
