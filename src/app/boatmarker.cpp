#include "boatmarker.h"

#include "artwork.h"

#include <QPainter>

namespace rusena {

BoatMarker::BoatMarker(int boat, QWidget *parent)
    : QLabel(parent)
    , m_boat(boat)
{
}

void BoatMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintMarker(painter, m_boat);
}

} // namespace rusena
