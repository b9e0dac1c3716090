#pragma once

#include "race/screenmodel.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

class QPainter;

namespace rusena {

/// A colour of the core's screen model as Qt paints it.
QColor toColour(Rgb rgb);

/// The colour a boat carries, 1 white to 6 green, as the core's table gives it.
QColor boatColour(int boat);

/// Paints the chart marker of a boat, a pointed tag in the boat's colour on cyan, into a
/// 25 x 15 area at the painter's origin. Drawn as shapes, so it stays sharp at any scale.
void paintMarker(QPainter &painter, int boat);

/// The program's icon, from its SVG file.
QIcon programIcon();
/// The icon as the about box shows it, 32 x 32, for a screen of this pixel ratio.
QPixmap iconPixmap(qreal devicePixelRatio);

/// The about box's 239 x 60 banner, cliffs over the sea, for a screen of this pixel ratio.
QPixmap bannerPixmap(qreal devicePixelRatio);

} // namespace rusena
