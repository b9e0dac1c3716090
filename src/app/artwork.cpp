#include "artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPolygonF>
#include <QSvgRenderer>

namespace rusena {

namespace {

const QString IconFile = QStringLiteral(":/artwork/rusena.svg");

// Renders the icon's SVG at whatever size is asked, when it is asked. Unlike a QIcon made
// from the file name, it needs no plugin lookup at start-up (a few milliseconds).
class SvgIconEngine final : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        QSvgRenderer(IconFile).render(painter, rect);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QIconEngine *clone() const override { return new SvgIconEngine; }
};

QPixmap renderSvg(const QString &file, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        QSvgRenderer(file).render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

QColor toColour(Rgb rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
        static_cast<int>(rgb & 0xFF));
}

QColor boatColour(int boat)
{
    return toColour(boatColours(boat).body);
}

void paintMarker(QPainter &painter, int boat)
{
    painter.save();
    painter.fillRect(QRectF(0, 0, 25, 15), toColour(colours::ChartCyan));
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The outline runs through the pixel centres of the 100 % design, so its straight edges
    // cover whole device pixels at 100 % and 200 %; only the slanted point is smoothed.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(boatColour(boat));
    // Points right, the way the boats run across the chart.
    const QPolygonF tag({ QPointF(1.5, 2.5), QPointF(16.5, 2.5), QPointF(23.5, 7.5),
        QPointF(16.5, 12.5), QPointF(1.5, 12.5) });
    painter.drawPolygon(tag);
    painter.restore();
}

QIcon programIcon()
{
    return QIcon(new SvgIconEngine);
}

QPixmap iconPixmap(qreal devicePixelRatio)
{
    return renderSvg(IconFile, QSize(32, 32), devicePixelRatio);
}

QPixmap bannerPixmap(qreal devicePixelRatio)
{
    return renderSvg(QStringLiteral(":/artwork/banner.svg"), QSize(239, 60), devicePixelRatio);
}

} // namespace rusena
