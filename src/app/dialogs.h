#pragma once

#include "store/outcome.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

namespace rusena {

/// Every message box and file dialog of the program goes through here. Tests switch on
/// answering mode: nothing modal appears, queued answers are taken in order (OK and
/// "cancelled" when the queue is empty) and the messages asked are recorded.
class Dialogs final {
public:
    enum class Button { Ok, Cancel };

    /// Shows a message box as the core describes it; returns the button chosen.
    static Button message(QWidget *parent, const Message &message);

    /// The file dialog of File > 開く, starting in `folder` when it exists: the full path of
    /// the chosen file, or nothing when the user cancelled.
    static std::optional<QString> openResultFile(QWidget *parent, const QString &folder = {});

    /// The dialog openResultFile shows, set up but not shown (its filter lists .txt files
    /// in any letter case).
    static QFileDialog *createResultFileDialog(QWidget *parent, const QString &folder = {});
    /// The description of the file type, as the dialog shows it.
    static QString resultFileFilter();

    // The test hook.
    static void setAnswering(bool on);
    static void setNextAnswer(Button button);
    static void setNextFile(std::optional<QString> path);
    /// The folder the last file dialog was asked to start in.
    static QString lastFolderAsked();
    /// The messages asked since the last call, oldest first.
    static QList<Message> takeAsked();
    /// Called with every message as it is asked (tests check what was on show then).
    static void setObserver(std::function<void(const Message &)> observer);
};

} // namespace rusena
