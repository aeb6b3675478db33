#pragma once
#include <QPixmap>

namespace kadenzo {
// Kadenzo's logo: a stepped voltage trace over the product name, drawn at 200 x 75.
QPixmap kadenzoLogo();
} // namespace kadenzo
