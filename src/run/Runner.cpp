#include "run/Runner.h"

namespace kadenzo {

void Runner::wire() {}

} // namespace kadenzo
