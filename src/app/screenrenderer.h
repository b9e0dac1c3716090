#pragma once

#include <QtGlobal>

namespace rusena {

class MainWindow;
class PlayerDialog;
struct ProgressBar;
struct ScreenModel;

/// The most characters of one race-text line the text box shows; the organiser's lines
/// have at most 79.
inline constexpr qsizetype RaceTextLineShown = 1000;

/// Shows the screen model in the main window: captions, colours, markers, lists, text.
void renderScreen(const ScreenModel &screen, MainWindow &main);

/// Shows the registration dialog's part of the screen model.
void renderPlayer(const ScreenModel &screen, PlayerDialog &player);

/// Shows only the progress bar; cheap enough to call after every examined line.
void renderProgress(const ProgressBar &bar, MainWindow &main);

} // namespace rusena
