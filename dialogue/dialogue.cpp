// The dialogue: every quantity of a run lives in one state record for the whole
// run and keeps its value from one pass of a loop to the next. Lengths are inches
// inside and in the user's unit at the boundary; each assignment is evaluated in
// double from single-precision operands and rounded once when it is stored.
#include "dialogue/dialogue.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "dialogue/layouts.hpp"
#include "dialogue/row_count.hpp"
#include "horn/beamwidth.hpp"
#include "horn/gain.hpp"
#include "horn/phase_centre.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"
#include "recordio/record_io.hpp"

namespace kelvor::dialogue {
namespace {

namespace L = layouts;
using format::Layout;
using format::ListItem;
using format::Value;
using horn::CCBWD;
using horn::CCBWT;
using horn::CHPCT;
using horn::CRNGN;
using numeric::CLIGHT;
using numeric::rounded;
using recordio::Unit;

// Inches times UNITF is the length in the chosen unit (1 centimetres, 2 inches).
constexpr std::array<float, 2> UNITF = {2.54f, 1.0f};
constexpr std::array<std::string_view, 2> UNITL = {" cm ", " in."};
// Nominal pattern levels, dB, of the four beamwidth columns.
constexpr std::array<float, 4> LEVNOM = {3.0f, 6.0f, 10.0f, 20.0f};

struct State {
  std::array<char, L::FILE_NAME_WIDTH> RFNAME{};
  std::int32_t IUNIT = 0;
  float FREQ = 0, BWUSR = 0, LEVUSR = 0, WAVEL = 0;
  std::int32_t KLEV = 0;
  std::array<float, 4> LEVCOL{};
  bool TITLED = false;
  float PDSTRT = 0, PDSTOP = 0, PDSTEP = 0;
  float FSTRT = 0, FSTOP = 0, FSTEP = 0;
  std::int32_t NROWS = 0;
  float PHDEV = 0, BWNOM = 0, ARADWL = 0, ARAD = 0, SRAD = 0;
  float FRESP = 0, WAVELR = 0, SRADWL = 0, BW10 = 0;
  std::array<float, 4> BWCOL{};
  float PCTR = 0, GAINDB = 0;

  float unit_factor() const { return UNITF[static_cast<std::size_t>(IUNIT - 1)]; }
  std::size_t level_slot() const { return static_cast<std::size_t>(KLEV - 1); }
};

void write_both(Layout layout, std::span<const Value> values, bool report_first) {
  recordio::write_both(report_first ? Unit::report : Unit::console, layout, values);
}

void read_reals(std::initializer_list<float *> targets) {
  std::array<ListItem, 3> items{};
  std::size_t n = 0;
  for (float *t : targets)
    items[n++].real = t;
  recordio::read(std::span(items.data(), n));
}

std::int32_t read_integer(std::int32_t current) {
  const ListItem item{nullptr, &current};
  recordio::read(std::span(&item, 1));
  return current;
}

// Start-up: banner, report file, unit. Any unit other than 0, 1 or 2 is asked
// again; 0 ends the run before anything reaches the report.
void start(State &st) {
  recordio::write(Unit::console, L::BANNER);
  recordio::write(Unit::console, L::FILE_NAME_PROMPT);
  recordio::read_text(st.RFNAME);
  recordio::open_report(std::string_view(st.RFNAME.data(), st.RFNAME.size()));
  do {
    recordio::write(Unit::console, L::UNIT_PROMPT);
    st.IUNIT = read_integer(st.IUNIT);
    if (st.IUNIT == 0)
      recordio::stop();
  } while (st.IUNIT != 1 && st.IUNIT != 2);
}

// The level index names the nominal level from which the user's level derives;
// only 1 to 4 select a column, anything else is asked again.
void ask_level_index(State &st) {
  const std::array<Value, 4> levels = {format::real(LEVNOM[0]), format::real(LEVNOM[1]),
                                       format::real(LEVNOM[2]), format::real(LEVNOM[3])};
  do {
    recordio::write(Unit::console, L::LEVEL_CHOICE_PROMPT, levels);
    st.KLEV = read_integer(st.KLEV);
  } while (st.KLEV < 1 || st.KLEV > 4);
}

// Design request: frequency and beamwidth, then the level. A frequency of zero
// or less ends the run.
void design_request(State &st) {
  recordio::write(Unit::console, L::DESIGN_PROMPT);
  read_reals({&st.FREQ, &st.BWUSR});
  if (st.FREQ <= 0.0f)
    recordio::stop();
  st.WAVEL = rounded(static_cast<double>(CLIGHT) / st.FREQ);
  recordio::write(Unit::console, L::LEVEL_PROMPT);
  read_reals({&st.LEVUSR});
  st.KLEV = 0;
  if (!st.TITLED) {
    recordio::write(Unit::report, L::REPORT_TITLE);
    recordio::write(Unit::report, L::CREDIT);
    st.TITLED = true;
  }
  const std::array<Value, 3> heading = {format::real(st.FREQ), format::real(st.BWUSR),
                                        format::real(st.LEVUSR)};
  recordio::write(Unit::report, L::DESIGN_HEADING, heading);
  for (std::size_t i = 0; i < LEVNOM.size(); ++i)
    if (st.LEVUSR == LEVNOM[i])
      st.KLEV = static_cast<std::int32_t>(i + 1);
  if (st.KLEV == 0)
    ask_level_index(st);
  st.LEVCOL = LEVNOM;
  st.LEVCOL[st.level_slot()] = st.LEVUSR;
}

// One row of the design table at row number k.
void design_row(State &st, std::int64_t k) {
  const std::size_t lev = st.level_slot();
  st.PHDEV = rounded(static_cast<double>(k - 1) * st.PDSTEP + st.PDSTRT);
  // A full beamwidth grows with the square root of the level in dB: carry the
  // required beamwidth to the nominal level the design tables hold.
  st.BWNOM = rounded(std::sqrt(static_cast<double>(LEVNOM[lev]) / st.LEVCOL[lev]) * st.BWUSR);
  CCBWD(st.PHDEV, st.ARADWL, st.BWNOM, st.KLEV);
  constexpr std::int32_t ten_db = 3;
  CCBWT(st.PHDEV, st.ARADWL, st.BW10, ten_db);
  // The rim lags the centre by PHDEV cycles: R = a^2 / (2 lambda S).
  st.SRAD = rounded(static_cast<double>(st.WAVEL) * st.ARADWL * st.ARADWL /
                    (static_cast<double>(st.PHDEV) * 2));
  st.ARAD = rounded(static_cast<double>(st.WAVEL) * st.ARADWL);
  CHPCT(st.FREQ, st.ARAD, st.SRAD, st.BW10, st.PCTR);
  CRNGN(st.FREQ, st.ARAD, st.SRAD, st.GAINDB);
  const double f = st.unit_factor();
  const std::array<Value, 5> row = {
      format::real(st.PHDEV), format::real(rounded(st.ARAD * f)),
      format::real(rounded(st.SRAD * f)), format::real(st.GAINDB),
      format::real(rounded(static_cast<double>(st.PCTR) * st.WAVEL * f))};
  write_both(L::DESIGN_ROW, row, true);
}

// One row of the frequency response at row number k.
void response_row(State &st, std::int64_t k) {
  const std::size_t lev = st.level_slot();
  st.FRESP = rounded(static_cast<double>(k - 1) * st.FSTEP + st.FSTRT);
  st.WAVELR = rounded(static_cast<double>(CLIGHT) / st.FRESP);
  st.ARADWL = rounded(static_cast<double>(st.ARAD) / st.WAVELR);
  st.SRADWL = rounded(static_cast<double>(st.SRAD) / st.WAVELR);
  st.PHDEV =
      rounded(static_cast<double>(st.ARADWL) * st.ARADWL / (static_cast<double>(st.SRADWL) * 2));
  for (std::int32_t j = 1; j <= 4; ++j)
    CCBWT(st.PHDEV, st.ARADWL, st.BWCOL[static_cast<std::size_t>(j - 1)], j);
  st.BW10 = st.BWCOL[2];
  // Carry the beamwidth at the nominal level back to the user's level.
  st.BWCOL[lev] =
      rounded(std::sqrt(static_cast<double>(st.LEVCOL[lev]) / LEVNOM[lev]) * st.BWCOL[lev]);
  CHPCT(st.FRESP, st.ARAD, st.SRAD, st.BW10, st.PCTR);
  CRNGN(st.FRESP, st.ARAD, st.SRAD, st.GAINDB);
  const std::array<Value, 7> row = {
      format::real(st.FRESP),
      format::real(st.BWCOL[0]),
      format::real(st.BWCOL[1]),
      format::real(st.BWCOL[2]),
      format::real(st.BWCOL[3]),
      format::real(st.GAINDB),
      format::real(rounded(static_cast<double>(st.PCTR) * st.WAVELR * st.unit_factor()))};
  write_both(L::RESPONSE_ROW, row, true);
}

// The horn question. The answer's items start as the current horn's radii in the
// chosen unit, so that a radius the answer leaves unchanged keeps its value and
// every radius is converted to inches exactly once. Returns false when the
// aperture radius is zero or less.
bool ask_horn(State &st) {
  const double f = st.unit_factor();
  float aperture = rounded(st.ARAD * f);
  float slant = rounded(st.SRAD * f);
  recordio::write(Unit::console, L::HORN_PROMPT);
  read_reals({&aperture, &slant});
  st.ARAD = rounded(aperture / f);
  st.SRAD = rounded(slant / f);
  return st.ARAD > 0.0f;
}

// Frequency responses of horns, until an aperture radius of zero or less.
void frequency_responses(State &st) {
  while (ask_horn(st)) {
    recordio::write(Unit::console, L::FREQUENCY_RANGE_PROMPT);
    read_reals({&st.FSTRT, &st.FSTOP, &st.FSTEP});
    if (st.FSTEP == 0.0f)
      continue;
    st.NROWS = row_count(st.FSTRT, st.FSTOP, st.FSTEP);
    const double f = st.unit_factor();
    const std::array<Value, 3> heading = {
        format::real(rounded(st.ARAD * f)),
        format::text(UNITL[static_cast<std::size_t>(st.IUNIT - 1)]),
        format::real(rounded(st.SRAD * f))};
    recordio::write(Unit::report, L::HORN_HEADING, heading);
    const std::array<Value, 4> levels = {format::real(st.LEVCOL[0]), format::real(st.LEVCOL[1]),
                                         format::real(st.LEVCOL[2]), format::real(st.LEVCOL[3])};
    write_both(L::RESPONSE_TABLE_HEADER, levels, true);
    for (std::int64_t k = 1; k <= st.NROWS; ++k)
      response_row(st, k);
  }
}

// Design tables at the design frequency, each followed by frequency responses,
// until a step of zero.
void design_tables(State &st) {
  for (;;) {
    recordio::write(Unit::console, L::PHASE_DEVIATION_PROMPT);
    read_reals({&st.PDSTRT, &st.PDSTOP, &st.PDSTEP});
    if (st.PDSTEP == 0.0f)
      return;
    st.NROWS = row_count(st.PDSTRT, st.PDSTOP, st.PDSTEP);
    write_both(L::DESIGN_TABLE_HEADER, {}, false);
    for (std::int64_t k = 1; k <= st.NROWS; ++k)
      design_row(st, k);
    frequency_responses(st);
  }
}

} // namespace

void run() {
  State st;
  start(st);
  for (;;) {
    design_request(st);
    design_tables(st);
  }
}

} // namespace kelvor::dialogue
