// The run's three numbered streams, by the numbers that messages cite.
#pragma once

#include <cstdint>

namespace kelvor::recordio {

enum class Unit : std::uint8_t {
  input = 5,   // the console input, "CONIN$"
  console = 6, // the console output, "CONOUT$"
  report = 66, // the report file, by its name
};

} // namespace kelvor::recordio
