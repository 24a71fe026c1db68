// The dialogue: every quantity of a run lives in one state record for the whole
// run and keeps its value from one pass of a loop to the next. Lengths are inches
// inside and in the user's unit at the boundary; each assignment is evaluated in
// double from single-precision operands and rounded once when it is stored.
#include "dialogue/dialogue.hpp"

#include <array>
#include <cstdint>
#include <string_view>

#include "dialogue/layouts.hpp"
#include "recordio/record_io.hpp"
#include "rows/row_count.hpp"
#include "rows/rows.hpp"

namespace kelvor::dialogue {
namespace {

namespace L = layouts;
using format::Layout;
using format::ListItem;
using format::Value;
using recordio::Unit;

using rows::LEVNOM;

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
  // The horn of the last design row or horn answer, inches.
  float ARAD = 0, SRAD = 0;
  // The last rows written, every quantity behind them.
  rows::DesignRow DESIGN;
  rows::ResponseRow RESPONSE;
};

void write_both(Layout layout, std::span<const Value> values, bool report_first) {
  recordio::write_both(report_first ? Unit::report : Unit::console, layout, values);
}

// The printed values of a row as the record layer's values.
template <std::size_t N> std::array<Value, N> reals(const std::array<float, N> &values) {
  std::array<Value, N> out{};
  for (std::size_t i = 0; i < N; ++i)
    out[i] = format::real(values[i]);
  return out;
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
  } while (!rows::is_unit(st.IUNIT));
}

// The level index names the nominal level from which the user's level derives;
// only 1 to 4 select a column, anything else is asked again.
void ask_level_index(State &st) {
  const std::array<Value, 4> levels = {format::real(LEVNOM[0]), format::real(LEVNOM[1]),
                                       format::real(LEVNOM[2]), format::real(LEVNOM[3])};
  do {
    recordio::write(Unit::console, L::LEVEL_CHOICE_PROMPT, levels);
    st.KLEV = read_integer(st.KLEV);
  } while (!rows::is_level_index(st.KLEV));
}

// Design request: frequency and beamwidth, then the level. A frequency of zero
// or less ends the run.
void design_request(State &st) {
  recordio::write(Unit::console, L::DESIGN_PROMPT);
  read_reals({&st.FREQ, &st.BWUSR});
  if (st.FREQ <= 0.0f)
    recordio::stop();
  st.WAVEL = rows::wavelength(st.FREQ);
  recordio::write(Unit::console, L::LEVEL_PROMPT);
  read_reals({&st.LEVUSR});
  if (!st.TITLED) {
    recordio::write(Unit::report, L::REPORT_TITLE);
    recordio::write(Unit::report, L::CREDIT);
    st.TITLED = true;
  }
  const std::array<Value, 3> heading = {format::real(st.FREQ), format::real(st.BWUSR),
                                        format::real(st.LEVUSR)};
  recordio::write(Unit::report, L::DESIGN_HEADING, heading);
  st.KLEV = rows::nominal_level_index(st.LEVUSR);
  if (st.KLEV == 0)
    ask_level_index(st);
  st.LEVCOL = rows::column_levels(st.LEVUSR, st.KLEV).LEVCOL;
}

// One row of the design table at row number k.
void design_row(State &st, std::int64_t k) {
  const rows::DesignRequest request{st.FREQ, st.BWUSR, {st.KLEV, st.LEVCOL}, st.IUNIT};
  st.DESIGN = rows::design_row(request, rows::row_value(k, st.PDSTRT, st.PDSTEP));
  st.ARAD = st.DESIGN.ARAD;
  st.SRAD = st.DESIGN.SRAD;
  write_both(L::DESIGN_ROW, reals(st.DESIGN.printed), true);
}

// One row of the frequency response at row number k.
void response_row(State &st, std::int64_t k) {
  const rows::ResponseRequest request{st.ARAD, st.SRAD, {st.KLEV, st.LEVCOL}, st.IUNIT};
  st.RESPONSE = rows::response_row(request, rows::row_value(k, st.FSTRT, st.FSTEP));
  write_both(L::RESPONSE_ROW, reals(st.RESPONSE.printed), true);
}

// The horn question. The answer's items start as the current horn's radii in the
// chosen unit, so that a radius the answer leaves unchanged keeps its value and
// every radius is converted to inches exactly once. Returns false when the
// aperture radius is zero or less.
bool ask_horn(State &st) {
  float aperture = rows::from_inches(st.ARAD, st.IUNIT);
  float slant = rows::from_inches(st.SRAD, st.IUNIT);
  recordio::write(Unit::console, L::HORN_PROMPT);
  read_reals({&aperture, &slant});
  st.ARAD = rows::to_inches(aperture, st.IUNIT);
  st.SRAD = rows::to_inches(slant, st.IUNIT);
  return st.ARAD > 0.0f;
}

// Frequency responses of horns, until an aperture radius of zero or less.
void frequency_responses(State &st) {
  while (ask_horn(st)) {
    recordio::write(Unit::console, L::FREQUENCY_RANGE_PROMPT);
    read_reals({&st.FSTRT, &st.FSTOP, &st.FSTEP});
    if (st.FSTEP == 0.0f)
      continue;
    st.NROWS = rows::row_count(st.FSTRT, st.FSTOP, st.FSTEP);
    const std::array<Value, 3> heading = {
        format::real(rows::from_inches(st.ARAD, st.IUNIT)),
        format::text(L::UNITL[static_cast<std::size_t>(st.IUNIT - 1)]),
        format::real(rows::from_inches(st.SRAD, st.IUNIT))};
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
    st.NROWS = rows::row_count(st.PDSTRT, st.PDSTOP, st.PDSTEP);
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
