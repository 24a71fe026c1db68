// Each assignment is one formula evaluated in double from single-precision
// operands and rounded once when it is stored, in the order the tables have
// always been computed: the printed digits depend on the last bit of each step.
#include "rows/rows.hpp"

#include <cmath>
#include <limits>

#include "horn/beamwidth.hpp"
#include "horn/gain.hpp"
#include "horn/phase_centre.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::rows {

using horn::CCBWD;
using horn::CCBWT;
using horn::CHPCT;
using horn::CRNGN;
using numeric::rounded;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

bool valid_level(std::int32_t KLEV) {
  return KLEV >= 1 && KLEV <= 4;
}

std::size_t slot(std::int32_t index) {
  return static_cast<std::size_t>(index - 1);
}

double unit_factor(std::int32_t IUNIT) {
  if (IUNIT != CENTIMETRES && IUNIT != INCHES)
    return kNaN;
  return UNITF[slot(IUNIT)];
}

template <class Row> Row nan_row() {
  Row row;
  row.printed.fill(kNaN);
  return row;
}

} // namespace

std::int32_t nominal_level_index(float LEVUSR) {
  std::int32_t KLEV = 0;
  for (std::size_t i = 0; i < LEVNOM.size(); ++i)
    if (LEVUSR == LEVNOM[i])
      KLEV = static_cast<std::int32_t>(i + 1);
  return KLEV;
}

Levels column_levels(float LEVUSR, std::int32_t KLEV) {
  Levels levels{KLEV, LEVNOM};
  if (valid_level(KLEV))
    levels.LEVCOL[slot(KLEV)] = LEVUSR;
  return levels;
}

float wavelength(float FREQ) {
  return rounded(static_cast<double>(CLIGHT) / FREQ);
}

float from_inches(float inches, std::int32_t IUNIT) {
  return rounded(inches * unit_factor(IUNIT));
}

float to_inches(float length, std::int32_t IUNIT) {
  return rounded(length / unit_factor(IUNIT));
}

DesignRow design_row(const DesignRequest &request, float PHDEV) {
  const std::int32_t KLEV = request.levels.KLEV;
  if (!valid_level(KLEV))
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
  // The rim lags the centre by PHDEV cycles: R = a^2 / (2 lambda S).
  r.SRAD = rounded(static_cast<double>(WAVEL) * r.ARADWL * r.ARADWL /
                   (static_cast<double>(r.PHDEV) * 2));
  r.ARAD = rounded(static_cast<double>(WAVEL) * r.ARADWL);
  CHPCT(request.FREQ, r.ARAD, r.SRAD, r.BW10, r.PCTR);
  CRNGN(request.FREQ, r.ARAD, r.SRAD, r.GAINDB);
  const double f = unit_factor(request.IUNIT);
  r.printed = {r.PHDEV, from_inches(r.ARAD, request.IUNIT), from_inches(r.SRAD, request.IUNIT),
               r.GAINDB, rounded(static_cast<double>(r.PCTR) * WAVEL * f)};
  return r;
}

ResponseRow response_row(const ResponseRequest &request, float FRESP) {
  const std::int32_t KLEV = request.levels.KLEV;
  if (!valid_level(KLEV))
    return nan_row<ResponseRow>();
  const std::size_t lev = slot(KLEV);
  ResponseRow r;
  r.FRESP = FRESP;
  r.WAVELR = wavelength(FRESP);
  r.ARADWL = rounded(static_cast<double>(request.ARAD) / r.WAVELR);
  r.SRADWL = rounded(static_cast<double>(request.SRAD) / r.WAVELR);
  r.PHDEV = rounded(static_cast<double>(r.ARADWL) * r.ARADWL / (static_cast<double>(r.SRADWL) * 2));
  for (std::int32_t j = 1; j <= 4; ++j)
    CCBWT(r.PHDEV, r.ARADWL, r.BWCOL[slot(j)], j);
  r.BW10 = r.BWCOL[2];
  // Carry the beamwidth at the nominal level back to the user's level.
  r.BWCOL[lev] = rounded(std::sqrt(static_cast<double>(request.levels.LEVCOL[lev]) / LEVNOM[lev]) *
                         r.BWCOL[lev]);
  CHPCT(FRESP, request.ARAD, request.SRAD, r.BW10, r.PCTR);
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
