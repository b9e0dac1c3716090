#pragma once

class QAction;
class QMainWindow;

namespace rusena {

/// The library's commands on the ファイル menu, after 開く: import a folder, fetch new days
/// from the organiser, pick a day, the previous and the next stored day, check the library,
/// rebuild it.
struct LibraryActions final {
    QAction *importFolder = nullptr;
    QAction *pickDay = nullptr;
    QAction *previousDay = nullptr;
    QAction *nextDay = nullptr;
    QAction *check = nullptr;
    QAction *rebuild = nullptr;
    QAction *fetchLatest = nullptr; ///< new days from the organiser, default period
    QAction *fetchPeriod = nullptr; ///< the same for a period asked first
};

/// Adds the commands to the window's ファイル menu (object name "mfile").
LibraryActions addLibraryActions(QMainWindow &window);

} // namespace rusena
