#include "gui/refresh_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace infotrakon::gui {

QPixmap RefreshPicture() {
    QPixmap picture(16, 17);
    picture.fill(QColor(212, 208, 200));
    QPainter painter(&picture);
    // The sheet, its top-right corner folded down.
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(10.5, 0.5);
    sheet.lineTo(14.5, 4.5);
    sheet.lineTo(14.5, 16.5);
    sheet.lineTo(2.5, 16.5);
    sheet.closeSubpath();
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet);
    painter.drawPolyline(QPolygonF({{10.5, 0.5}, {10.5, 4.5}, {14.5, 4.5}}));
    // Two arrows chasing each other round a circle.
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor green(0, 140, 0);
    painter.setPen(QPen(green, 1.6));
    painter.setBrush(Qt::NoBrush);
    const QRectF circle(4.5, 5.5, 8, 8);
    painter.drawArc(circle, 30 * 16, 130 * 16);
    painter.drawArc(circle, 210 * 16, 130 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(green);
    painter.drawPolygon(QPolygonF({{3.2, 8.0}, {6.6, 8.0}, {4.9, 10.4}}));
    painter.drawPolygon(QPolygonF({{10.4, 11.0}, {13.8, 11.0}, {12.1, 8.6}}));
    return picture;
}

}  // namespace infotrakon::gui
