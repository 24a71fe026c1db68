// The arithmetic of one table row: a design row (the horn that meets a request at
// one phase deviation) and a frequency-response row (one horn at one frequency).
// Pure functions: the row's values come back, each the single-precision value the
// tables print, so that any front-end reproduces a printed table to the digit.
#pragma once

#include <array>
#include <cstdint>

#include "horn/geometry.hpp"
#include "horn/phase_centre.hpp"
#include "rows/levels.hpp"
#include "rows/units.hpp"

namespace kelvor::rows {

// Wavelength in inches at FREQ GHz.
using horn::wavelength;

// The phase-centre routine a row calls: horn::CHPCT, or horn::CHPCTR, which gives the same bits
// through the reference pattern integral, for timing the two against each other.
using PhaseCentre = decltype(&horn::CHPCT);

// A design request: frequency (GHz), the user's beamwidth (degrees) and levels,
// and the unit of the printed lengths.
struct DesignRequest {
  float FREQ = 0, BWUSR = 0;
  Levels levels;
  std::int32_t IUNIT = INCHES;
};

// One design row: the quantities behind it (lengths in inches, phase centre in
// wavelengths) and the printed values: phase deviation, aperture radius, slant
// radius (unit), gain (dB), phase centre (unit).
struct DesignRow {
  float PHDEV = 0, BWNOM = 0, ARADWL = 0, BW10 = 0, ARAD = 0, SRAD = 0, PCTR = 0, GAINDB = 0;
  std::array<float, 5> printed{};
};

// The design row at phase deviation PHDEV. A level index outside 1 to 4 gives a
// row of NaN.
DesignRow design_row(const DesignRequest &request, float PHDEV,
                     PhaseCentre phase_centre = horn::CHPCT);

// A frequency-response request: the horn's radii in inches, the levels and the
// unit of the printed phase centre.
struct ResponseRequest {
  float ARAD = 0, SRAD = 0;
  Levels levels;
  std::int32_t IUNIT = INCHES;
};

// One frequency-response row: the quantities behind it and the printed values:
// frequency, the four beamwidths (degrees), gain (dB), phase centre (unit).
struct ResponseRow {
  float FRESP = 0, WAVELR = 0, ARADWL = 0, SRADWL = 0, PHDEV = 0, BW10 = 0, PCTR = 0, GAINDB = 0;
  std::array<float, 4> BWCOL{};
  std::array<float, 7> printed{};
};

// The frequency-response row at FRESP GHz. A level index outside 1 to 4 gives a
// row of NaN.
ResponseRow response_row(const ResponseRequest &request, float FRESP,
                         PhaseCentre phase_centre = horn::CHPCT);

} // namespace kelvor::rows
