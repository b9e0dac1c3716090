#include "windowfit.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rusena {

void fitToScreen(QWidget *window, QSize wanted)
{
    // The screen under the pointer is the one the user is looking at; the frame is not
    // known before the window shows, so a title bar's room is kept free.
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = window->screen();
    const QRect available = screen->availableGeometry();
    const QSize room = available.size() - QSize(16, 48);
    const QSize size = wanted.boundedTo(room);
    window->resize(size);
    window->move(available.center() - QPoint(size.width() / 2, size.height() / 2 + 16));
}

} // namespace rusena
