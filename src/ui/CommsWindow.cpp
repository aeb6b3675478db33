#include "ui/CommsWindow.h"

namespace kadenzo {

void CommsWindow::wire() {}
void CommsWindow::FormCreate() {}

} // namespace kadenzo
