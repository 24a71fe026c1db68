#include "modal/failure.hpp"

namespace kelvor::modal {

const char *describe(Failure failure) {
  switch (failure) {
    case Failure::none:
      return "none";
    case Failure::invalid_input:
      return "invalid input";
    case Failure::input_below_cutoff:
      return "input waveguide below the TE11 cut-off";
    case Failure::too_much_work:
      return "too many modes times sections";
    case Failure::not_converged:
      return "not converged";
  }
  return "unknown";
}

} // namespace kelvor::modal
