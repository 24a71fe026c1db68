// Every quantity of the rows of one grid line as the bits of its float, so that
// two builds of the row library (WebAssembly and native) can be compared exactly.
#pragma once

#include <string>
#include <string_view>

namespace kelvor::web {

// A grid line is one of
//   design IUNIT FREQ BWUSR LEVUSR KLEV start stop step
//   response IUNIT LEVUSR KLEV aperture slant start stop step
//   pattern IUNIT FREQ aperture slant start stop step
// (KLEV 0 takes the nominal index of LEVUSR), its numbers read as typed answers.
// Returns one line per row: the row number and every quantity of the row in hex;
// a line that is not of that form gives "bad grid line".
std::string grid_bits(std::string_view line);

} // namespace kelvor::web
