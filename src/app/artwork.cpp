#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace rusena {

QColor toColour(Rgb rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
        static_cast<int>(rgb & 0xFF));
}

QColor boatColour(int boat)
{
    return toColour(boatColours(boat).body);
}

QPixmap markerPixmap(int boat)
{
    QPixmap pixmap(25, 15);
    pixmap.fill(toColour(colours::ChartCyan));
    QPainter painter(&pixmap);
    // Crisp single-pixel edges: the tag is small enough that smoothing only blurs it.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(boatColour(boat));
    // Points right, the way the boats run across the chart.
    const QPolygon tag(
        { QPoint(1, 2), QPoint(16, 2), QPoint(23, 7), QPoint(16, 12), QPoint(1, 12) });
    painter.drawPolygon(tag);
    return pixmap;
}

QPixmap iconPixmap()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);

    // Sky and water in a rounded square.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    QLinearGradient ground(0, 0, 0, 32);
    ground.setColorAt(0.0, QColor(0x9F, 0xD8, 0xFF));
    ground.setColorAt(0.55, QColor(0xD8, 0xF0, 0xFF));
    ground.setColorAt(0.56, QColor(0x1E, 0x6F, 0xC8));
    ground.setColorAt(1.0, QColor(0x0B, 0x3C, 0x7D));
    painter.fillPath(frame, ground);

    // The hull, bow to the right, with a red racing stripe.
    QPainterPath hull;
    hull.moveTo(4, 15);
    hull.lineTo(24, 15);
    hull.lineTo(29, 18);
    hull.lineTo(7, 20);
    hull.closeSubpath();
    painter.fillPath(hull, Qt::white);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.drawPath(hull);
    painter.fillRect(QRectF(7, 16.3, 17, 1.6), QColor(0xE0, 0x10, 0x10));

    // The racer's helmet.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xD0, 0x00));
    painter.drawEllipse(QRectF(11, 10, 5, 5));

    // Spray behind the stern and a wave line.
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(2, 22), QPointF(6, 20));
    painter.drawLine(QPointF(1, 19), QPointF(4, 18));
    painter.setPen(QPen(QColor(0xBF, 0xE6, 0xFF), 1));
    painter.drawLine(QPointF(4, 25), QPointF(28, 25));
    painter.drawLine(QPointF(9, 28), QPointF(23, 28));

    painter.setPen(QPen(QColor(0x0B, 0x2F, 0x5F), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(frame);
    return pixmap;
}

QIcon programIcon()
{
    return QIcon(iconPixmap());
}

QPixmap bannerPixmap()
{
    QPixmap pixmap(239, 60);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, 38);
    sky.setColorAt(0.0, QColor(0xF7, 0xB2, 0x6A));
    sky.setColorAt(1.0, QColor(0xFF, 0xEB, 0xC8));
    painter.fillRect(QRect(0, 0, 239, 38), sky);

    // A low sun behind the far headland.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xF6, 0xD5));
    painter.drawEllipse(QPointF(150, 33), 9, 9);

    QLinearGradient sea(0, 36, 0, 60);
    sea.setColorAt(0.0, QColor(0x3A, 0x86, 0xC4));
    sea.setColorAt(1.0, QColor(0x0E, 0x35, 0x6B));
    painter.fillRect(QRect(0, 36, 239, 24), sea);

    // Far headland, then the near cliffs on both sides.
    QPainterPath far;
    far.moveTo(120, 38);
    far.lineTo(170, 27);
    far.lineTo(205, 31);
    far.lineTo(239, 25);
    far.lineTo(239, 38);
    far.closeSubpath();
    painter.fillPath(far, QColor(0x8E, 0x7F, 0x8C));

    QPainterPath left;
    left.moveTo(0, 6);
    left.lineTo(22, 4);
    left.lineTo(48, 12);
    left.lineTo(62, 22);
    left.lineTo(70, 40);
    left.lineTo(64, 52);
    left.lineTo(0, 60);
    left.closeSubpath();
    QLinearGradient rock(0, 0, 70, 0);
    rock.setColorAt(0.0, QColor(0x4A, 0x3B, 0x30));
    rock.setColorAt(1.0, QColor(0x7A, 0x62, 0x4E));
    painter.fillPath(left, rock);
    // Grass along the cliff top.
    painter.setPen(QPen(QColor(0x3E, 0x6B, 0x2E), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPolyline(QPolygonF({ QPointF(0, 6.5), QPointF(22, 4.5), QPointF(40, 9.5) }));

    QPainterPath right;
    right.moveTo(239, 14);
    right.lineTo(222, 16);
    right.lineTo(210, 30);
    right.lineTo(204, 46);
    right.lineTo(214, 60);
    right.lineTo(239, 60);
    right.closeSubpath();
    painter.fillPath(right, QColor(0x5A, 0x47, 0x3A));

    // Strata on the near cliff, surf at its foot, swell on the open water.
    painter.setPen(QPen(QColor(0x36, 0x2A, 0x22), 1));
    painter.drawLine(QPointF(8, 20), QPointF(52, 19));
    painter.drawLine(QPointF(4, 32), QPointF(63, 30));
    painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 0xD0), 1.5));
    painter.drawLine(QPointF(60, 53), QPointF(78, 50));
    painter.drawLine(QPointF(196, 50), QPointF(206, 54));
    painter.setPen(QPen(QColor(0xCF, 0xE8, 0xFF, 0xA0), 1));
    for (int row = 0; row < 3; ++row) {
        const int y = 42 + row * 6;
        for (int x = 84 + row * 9; x < 196; x += 26)
            painter.drawLine(QPointF(x, y), QPointF(x + 12, y));
    }
    return pixmap;
}

} // namespace rusena
