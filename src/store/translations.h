#pragma once

class QCoreApplication;

namespace rusena {

/// Loads Qt's own Japanese texts (file dialog, standard buttons, the menus of text boxes)
/// for the whole application, whatever the system language: the program's own texts are
/// Japanese only. Returns false when Qt's translations are not installed.
bool installQtJapanese(QCoreApplication &application);

} // namespace rusena
