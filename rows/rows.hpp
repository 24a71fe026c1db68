// The arithmetic of one table row: a design row (the horn that meets a request at
// one phase deviation) and a frequency-response row (one horn at one frequency).
// Pure functions: the row's values come back, each the single-precision value the
// tables print, so that any front-end reproduces a printed table to the digit.
#pragma once

#include <array>
#include <cstdint>

#include "numeric/constants.hpp"

namespace kelvor::rows {

using numeric::CLIGHT;
// Nominal pattern levels, dB, of the four beamwidth columns.
inline constexpr std::array<float, 4> LEVNOM = {3.0f, 6.0f, 10.0f, 20.0f};
// Unit choice IUNIT: 1 centimetres, 2 inches. Inches times UNITF[IUNIT - 1] is
// the length in the chosen unit.
inline constexpr std::int32_t CENTIMETRES = 1;
inline constexpr std::int32_t INCHES = 2;
inline constexpr std::array<float, 2> UNITF = {2.54f, 1.0f};

// The level bookkeeping of a request: the user's level LEVUSR replaces the
// nominal level of index KLEV (1 to 4) among the four column levels.
struct Levels {
  std::int32_t KLEV = 0;
  std::array<float, 4> LEVCOL{};
};

// The index (1 to 4) of the nominal level equal to LEVUSR, or 0 when there is none.
std::int32_t nominal_level_index(float LEVUSR);
// The column levels for the user's level at index KLEV (1 to 4).
Levels column_levels(float LEVUSR, std::int32_t KLEV);

// Wavelength in inches at FREQ GHz.
float wavelength(float FREQ);
// A length in inches in the unit IUNIT, and back. An IUNIT other than 1 or 2
// gives NaN.
float from_inches(float inches, std::int32_t IUNIT);
float to_inches(float length, std::int32_t IUNIT);

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
DesignRow design_row(const DesignRequest &request, float PHDEV);

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
ResponseRow response_row(const ResponseRequest &request, float FRESP);

} // namespace kelvor::rows
