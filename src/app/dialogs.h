#pragma once

#include "store/outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QProgressDialog;
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

    /// The same dialog taking several files: the full paths chosen, none when cancelled.
    static QStringList openResultFiles(QWidget *parent, const QString &folder = {});
    /// ファイル > フォルダから取り込む: the folder chosen, or nothing when cancelled.
    static std::optional<QString> chooseFolder(QWidget *parent);

    /// The dialog openResultFile shows, set up but not shown (its filters list result
    /// files, .txt and .lzh, in any letter case, then .txt files alone).
    static QFileDialog *createResultFileDialog(QWidget *parent, const QString &folder = {});
    /// The description of the file type, as the dialog shows it.
    static QString resultFileFilter();

    /// A progress dialog with a cancel button for a job; none appears in answering mode.
    /// It is not modal: the job runs on its own thread and every window stays usable.
    /// Step it with `advance`, which says false once the user cancelled.
    class Progress final {
    public:
        Progress(QWidget *parent, const QString &label);
        ~Progress();
        Progress(const Progress &) = delete;
        Progress &operator=(const Progress &) = delete;
        bool advance(int done, int total);
        /// In answering mode, the steps after which the queued cancel comes; -1 for none.
        static int stepsBeforeCancel();

    private:
        QWidget *m_parent;
        QString m_label;
        std::unique_ptr<QProgressDialog> m_dialog;
    };

    /// The save dialog of a table's CSV export, offering `suggestedName` in the user's
    /// documents folder: the chosen path, or nothing when cancelled. Answered from the
    /// same queue as openResultFile in tests.
    static std::optional<QString> saveCsvFile(QWidget *parent, const QString &suggestedName);

    // The test hook.
    static void setAnswering(bool on);
    static void setNextAnswer(Button button);
    static void setNextFile(std::optional<QString> path);
    static void setNextFiles(const QStringList &paths);
    static void setNextFolder(std::optional<QString> path);
    /// Makes the next progress dialog report a cancel once it has been advanced `steps` times.
    static void setCancelAfter(int steps);
    /// The (done, total) pairs progress dialogs were advanced with since the last call.
    static QList<std::pair<int, int>> takeProgress();
    /// The folder the last file dialog was asked to start in.
    static QString lastFolderAsked();
    /// The messages asked since the last call, oldest first.
    static QList<Message> takeAsked();
    /// Called with every message as it is asked (tests check what was on show then).
    static void setObserver(std::function<void(const Message &)> observer);
};

} // namespace rusena
