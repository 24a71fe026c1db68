// The page's computing core: the design and frequency-response tables as the
// report file holds their records, the same rows as CSV, the pattern cut, and the
// typed numbers read as the dialogue reads them. The same source runs in the
// browser (WebAssembly) and natively (the test that compares the two).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "horn/pattern_point.hpp"
#include "rows/rows.hpp"

namespace kelvor::web {

// What became of one typed number.
enum class NumberStatus : std::int32_t {
  ok,        // one number, its decimal value rounded once to the nearest float
  empty,     // no number: a blank field, or only a null value ("," or "/")
  syntax,    // text that the dialogue does not accept as a number
  too_large, // a number beyond the float range
  extra,     // more than one value in the field
};

struct Number {
  NumberStatus status = NumberStatus::empty;
  float value = 0.0f;
};

// One field's text read as a list-directed answer of one real item.
Number read_number(std::string_view text);
// The status's name ("ok", "empty", ...), by which the page knows it, and the
// message a field shows for it ("" for ok).
const char *status_name(NumberStatus status);
const char *status_message(NumberStatus status);

// The length units by the names the page and its links use: "in" and "cm" give
// rows::INCHES and rows::CENTIMETRES, any other name 0.
std::int32_t unit_code(std::string_view name);
const char *unit_name(std::int32_t IUNIT);
inline constexpr const char *kUnitMessage = "The unit is in (inches) or cm (centimetres).";

// The most rows a table is computed with: a million rows of about 70 characters
// is 70 MB of text, about what a browser tab holds without trouble.
inline constexpr std::int32_t kMaxRows = 1'000'000;

// What a start:stop:step range gives.
enum class RangeStatus : std::int32_t {
  ok,            // 1 to kMaxRows rows
  zero_step,     // the step is 0
  no_rows,       // from start, the step leads away from stop
  too_many_rows, // more than kMaxRows rows, however many (the count may be beyond any integer)
};
struct RangeCount {
  RangeStatus status = RangeStatus::no_rows;
  std::int32_t rows = 0;    // the rows of an ok range
  std::string message = {}; // why a range that is not ok is refused
};
RangeCount count_rows(float start, float stop, float step);
const char *status_name(RangeStatus status);

// A request as the dialogue holds it once its questions are answered. KLEV is
// the nominal index of LEVUSR, or the user's choice for any other level.
struct Request {
  std::int32_t IUNIT = rows::INCHES;
  float FREQ = 0, BWUSR = 0, LEVUSR = 0;
  std::int32_t KLEV = 0;
};

// A horn as typed, radii in the request's unit.
struct Horn {
  float aperture = 0, slant = 0;
};

// A table range: start and step, and the rows first to last (counted from 1).
struct RowRange {
  float start = 0, step = 0;
  std::int32_t first = 1, last = 0;
};

// Part of a table: its records, each ended by '\n' in place of the report's CR
// LF, and the same part as CSV lines.
struct Block {
  std::string records, csv;
};

// The design heading and the table header; the CSV column names.
Block design_heading(const Request &request);
// Design rows at the phase deviations of `range`.
Block design_block(const Request &request, const RowRange &range);

// The horn heading and the response table header; the CSV column names.
Block response_heading(const Request &request, const Horn &horn);
// Frequency-response rows at the frequencies of `range` (GHz).
Block response_block(const Request &request, const Horn &horn, const RowRange &range);

// The pattern cut of the horn at FREQ GHz over the angles of `range` (degrees,
// from 0), including the obliquity factor, as the row library computes it; and
// its phase unwrapped along the cut and referred to the horn's phase centre at
// FREQ (the response table's, fitted over the 10 dB beam), which sits
// phase_centre (in the request's unit) behind the aperture plane:
//   unwrapped(theta) - unwrapped(0) - 360 PCTR (1 - cos theta) degrees,
// PCTR the phase centre in wavelengths. A point source at the phase centre
// would give 0 at every angle.
struct PatternCut {
  std::vector<horn::PatternPoint> points;
  std::vector<double> phase_from_centre_deg;
  float phase_centre = 0;
};
PatternCut pattern(const Request &request, const Horn &horn, float FREQ, const RowRange &range);
// The cut as CSV: the request block, the column names, every value to its float's nine digits.
std::string pattern_csv(const Request &request, const Horn &horn, float FREQ,
                        const PatternCut &cut);

} // namespace kelvor::web
