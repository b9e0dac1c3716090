#pragma once

namespace rusena {

class MainWindow;
class PlayerDialog;
struct ProgressBar;
struct ScreenModel;

/// Shows the screen model in the main window: captions, colours, markers, lists, text.
void renderScreen(const ScreenModel &screen, MainWindow &main);

/// Shows the registration dialog's part of the screen model.
void renderPlayer(const ScreenModel &screen, PlayerDialog &player);

/// Shows only the progress bar; cheap enough to call after every examined line.
void renderProgress(const ProgressBar &bar, MainWindow &main);

} // namespace rusena
