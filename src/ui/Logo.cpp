#include "ui/Logo.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace kadenzo {

QPixmap kadenzoLogo() {
    QPixmap pm(200, 75);
    pm.fill(QColor(0, 0, 128));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A sequence of voltage steps.
    QPainterPath trace;
    const int levels[] = {60, 60, 44, 44, 28, 28, 14, 14, 36, 36, 60};
    trace.moveTo(8, levels[0]);
    for (int i = 1; i < 11; ++i) {
        int x = 8 + i * 17;
        trace.lineTo(x, levels[i - 1]);
        trace.lineTo(x, levels[i]);
    }
    p.setPen(QPen(QColor(255, 255, 0), 4));
    p.drawPath(trace);
    QFont f("DejaVu Sans", 22, QFont::Bold);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 200, 75), Qt::AlignRight | Qt::AlignBottom, "Kadenzo ");
    return pm;
}

} // namespace kadenzo
