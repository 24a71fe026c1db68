#include "feed/failure.hpp"

namespace kelvor::feed {

const char *describe(Failure failure) {
  switch (failure) {
    case Failure::none:
      return "none";
    case Failure::invalid_input:
      return "invalid input";
    case Failure::phase_deviation_out_of_range:
      return "phase deviation outside 0 to 2 cycles";
    case Failure::level_not_reached:
      return "level never reached";
    case Failure::no_main_lobe_solution:
      return "no main-lobe solution";
    case Failure::null_on_axis:
      return "pattern null on the axis";
  }
  return "unknown";
}

} // namespace kelvor::feed
