#pragma once

#include <QSize>

class QWidget;

namespace rusena {

/// Sizes a top-level window to `wanted` (logical pixels) or less, so that it and its
/// frame fit the available part of the screen it opens on, and centres it there: at 200 %
/// on a small screen every button stays in reach.
void fitToScreen(QWidget *window, QSize wanted);

} // namespace rusena
