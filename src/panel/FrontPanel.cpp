#include "panel/FrontPanel.h"

namespace kadenzo {

void FrontPanel::wire() {}

} // namespace kadenzo
