#include "gui/refresh_picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "panel/pictures.h"

namespace infotrakon::gui {
namespace {

QColor Colour(const panel::Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QPolygonF Points(const std::vector<panel::PicturePoint>& points) {
    QPolygonF polygon;
    for (const panel::PicturePoint& point : points) polygon << QPointF(point.x, point.y);
    return polygon;
}

}  // namespace

QPixmap RefreshPicture(qreal scale) {
    const panel::VectorPicture& picture = panel::RefreshPicture();
    QPixmap pixmap(qRound(picture.width * scale), qRound(picture.height * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, scale > 1);
    for (const panel::PictureShape& shape : picture.shapes) {
        painter.setPen(shape.outline ? QPen(Colour(shape.pen), shape.penWidth) : QPen(Qt::NoPen));
        painter.setBrush(shape.filled ? QBrush(Colour(shape.fill)) : QBrush(Qt::NoBrush));
        using Kind = panel::PictureShape::Kind;
        switch (shape.kind) {
            case Kind::kPolygon:
                painter.drawPolygon(Points(shape.points));
                break;
            case Kind::kPolyline:
                painter.drawPolyline(Points(shape.points));
                break;
            case Kind::kArc: {
                painter.setRenderHint(QPainter::Antialiasing);
                const QRectF box(QPointF(shape.points[0].x, shape.points[0].y),
                                 QPointF(shape.points[1].x, shape.points[1].y));
                painter.drawArc(box, qRound(shape.startDegrees * 16),
                                qRound(shape.spanDegrees * 16));
                painter.setRenderHint(QPainter::Antialiasing, scale > 1);
                break;
            }
        }
    }
    return pixmap;
}

QIcon RefreshIcon() {
    // Drawn for the screen's own scale too: an icon enlarges or shrinks the nearest of its
    // pictures, which blurs the thin lines at a scale such as 1.5.
    QIcon icon;
    icon.addPixmap(RefreshPicture(1));
    icon.addPixmap(RefreshPicture(2));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal scale = screen != nullptr ? screen->devicePixelRatio() : 1;
    if (scale != 1 && scale != 2) icon.addPixmap(RefreshPicture(scale));
    return icon;
}

}  // namespace infotrakon::gui
