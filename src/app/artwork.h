#pragma once

#include "race/screenmodel.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace rusena {

/// A colour of the core's screen model as Qt paints it.
QColor toColour(Rgb rgb);

/// The colour a boat carries, 1 white to 6 green, as the core's table gives it.
QColor boatColour(int boat);

/// The chart marker of a boat: a 25 x 15 pointed tag in the boat's colour on cyan.
QPixmap markerPixmap(int boat);

/// The program's 32 x 32 picture: a race boat on the water.
QPixmap iconPixmap();
QIcon programIcon();

/// The about box's 239 x 60 banner: cliffs over the sea.
QPixmap bannerPixmap();

} // namespace rusena
