#include "feed/failure.hpp"

namespace kelvor::feed {

const char *describe(Failure failure) {
  return name_of(kFailureNames, failure);
}

} // namespace kelvor::feed
