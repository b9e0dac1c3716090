#include "artwork.h"

#include <QImageReader>
#include <QPainter>
#include <QPolygonF>

namespace rusena {

QColor boatColour(int boat)
{
    switch (boat) {
    case 1:
        return QColor(0xFF, 0xFF, 0xFF);
    case 2:
        return QColor(0x00, 0x00, 0x00);
    case 3:
        return QColor(0xFF, 0x00, 0x00);
    case 4:
        return QColor(0x00, 0x00, 0xFF);
    case 5:
        return QColor(0xFF, 0xFF, 0x00);
    case 6:
        return QColor(0x00, 0xFF, 0x00);
    default:
        return QColor(0xC0, 0xC0, 0xC0);
    }
}

void paintMarker(QPainter &painter, int boat)
{
    painter.save();
    painter.fillRect(QRectF(0, 0, 25, 15), QColor(0x00, 0xFF, 0xFF));
    // At 100 % single-pixel edges stay crisp without smoothing; at larger scales the slanted
    // edges of the point need it.
    const qreal scale = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    painter.setRenderHint(QPainter::Antialiasing, scale > 1.0);
    // The outline is centred on the pixel centres of the 1x design and scales with the screen.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(boatColour(boat));
    const qreal c = scale > 1.0 ? 0.5 : 0.0; // pixel centres at 1x fall on whole numbers
    // Points right, the way the boats run across the chart.
    const QPolygonF tag({ QPointF(1 + c, 2 + c), QPointF(16 + c, 2 + c), QPointF(23 + c, 7 + c),
        QPointF(16 + c, 12 + c), QPointF(1 + c, 12 + c) });
    painter.drawPolygon(tag);
    painter.restore();
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/artwork/rusena.svg"));
}

QPixmap iconPixmap(qreal devicePixelRatio)
{
    return programIcon().pixmap(QSize(32, 32), devicePixelRatio);
}

QPixmap bannerPixmap(qreal devicePixelRatio)
{
    const QSize size(239, 60);
    QImageReader reader(QStringLiteral(":/artwork/banner.svg"));
    reader.setScaledSize(size * devicePixelRatio);
    QPixmap pixmap = QPixmap::fromImage(reader.read());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace rusena
