#pragma once

#include "celltablemodel.h"
#include "fetch/fetcher.h"
#include "fetch/fetchreport.h"
#include "libraryactions.h"
#include "session/job.h"
#include "session/session.h"

#include <QObject>
#include <QPointer>
#include <QSqlDatabase>

class QWidget;

namespace rusena {

class DayPicker;
class FetchDialog;
class FetchJob;
class JobRunner;
class LibraryWindows;
class MainWindow;
class PlayerDialog;
class RecentFiles;
class VersionDialog;

/// One run of the program: the session and its three windows. Forwards every user event
/// to the session, shows the message it returns and renders the screen model.
class App final : public QObject {
    Q_OBJECT
public:
    explicit App(DataFolder folder, QObject *parent = nullptr);
    ~App() override;

    /// The start-up sequence: its messages first, then the main window appears.
    void start();

    /// Opens a result file as File > 開く does once a file is chosen (command line, the
    /// recent-files menu).
    void openFile(const QString &path);

    RecentFiles *recentFiles() const { return m_recent; }

    /// Ends the run right after the main window's first paint (start-up measurements).
    void quitAfterFirstPaint() { m_quitAfterFirstPaint = true; }
    /// Writes one byte to the open file `descriptor` at the main window's first paint, so
    /// that a measuring parent can time start-up up to what the user sees.
    void signalFirstPaint(int descriptor) { m_firstPaintDescriptor = descriptor; }

    /// Closes and discards main, player and version; the event loop then ends.
    void unloadAllWindows();

    Session &session() { return m_session; }
    MainWindow *mainWindow() const;
    /// The registration dialog, built on first use; none once the windows are closed.
    PlayerDialog *playerDialog();
    /// The about box while it exists (it is made on first use and discarded by its close box).
    VersionDialog *versionDialog() const;
    /// The day picker while it exists (made on first use).
    DayPicker *dayPicker() const;
    const LibraryActions &libraryActions() const { return m_libraryActions; }
    /// The fetch under way, if any, and the period dialog while it is open.
    FetchJob *fetchJob() const;
    FetchDialog *fetchDialog() const;

    /// Imports what the user chose or dropped: one text file alone goes the way of 開く
    /// (its messages, racek.dat), anything else is a batch with a progress dialog and one
    /// summary at the end.
    void importPaths(const QStringList &paths);
    /// Files dropped on the main window: as importPaths(), except that a programme file
    /// (named B...) goes the library's way even alone.
    void importDropped(const QStringList &paths);
    /// 選手成績, 払戻金一覧 and 統計 (each made when first opened).
    LibraryWindows *libraryWindows() const { return m_library; }

    /// True while a job (an import, a rebuild, a check, a fetch) holds the library.
    bool libraryBusy() const;
    /// Runs `work` as a job that holds the library, with a progress dialog labelled
    /// `label`; the library's commands wait until it ends. False while another job runs.
    bool runLibraryJob(const QString &label, Job::Work work);
    /// Runs `next` once the library is open (opening it as a job when it is not), or
    /// shows why it cannot be opened.
    void withLibrary(std::function<void()> next);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void render();
    void keepOverMain(QWidget *dialog);
    void show(const std::optional<Message> &message, QWidget *parent);

    void onVenueChosen(int index);
    void onRaceChosen(int race);
    void onImport();
    void onRegistration();
    void onSearch();
    void onAbout();
    void onSaveSettings();
    void onLibraryRace(const RaceRef &race);
    std::optional<QSqlDatabase> libraryDatabase();

    // The race library (applibrary.cpp).
    void connectLibrary();
    void onImportFolder();
    void onPickDay();
    void onDayChosen(const QDate &date);
    void onNeighbourDay(int step);
    void onCheckLibrary();
    void onRebuild();
    void openLibraryThen(std::function<void(const Outcome &opened)> next);
    void onLibraryBusy(bool busy);
    QList<QAction *> libraryCommands() const;
    void showRaceRow();
    void importBatch(const QStringList &paths, std::function<void()> then = {});

    // The programme windows (appprogrammes.cpp).
    void connectProgrammes();
    RaceRef raceOnShow() const;
    void onProgrammeFiles();

    // Fetching from the organiser (appfetch.cpp).
    void connectFetch();
    void onFetchLatest();
    void onFetchPeriod();
    void askFetchPeriod();
    void startFetch(fetch::FetchOptions options);
    /// True when `action` was put off until the job or fetch under way has ended.
    bool deferWhileBusy(const std::function<void()> &action);
    void onFetchFinished(const fetch::FetchReport &report);

    Session m_session;
    QPointer<MainWindow> m_main;
    QPointer<PlayerDialog> m_player;
    QPointer<VersionDialog> m_version;
    RecentFiles *m_recent = nullptr;
    QPointer<DayPicker> m_dayPicker;
    QPointer<FetchJob> m_fetch;
    QPointer<FetchDialog> m_fetchDialog;
    QList<std::function<void()>> m_afterFetch; ///< what waits for the fetch under way
    LibraryActions m_libraryActions;
    LibraryWindows *m_library = nullptr;
    JobRunner *m_jobs = nullptr;
    bool m_unloading = false;
    bool m_quitAfterFirstPaint = false;
    int m_firstPaintDescriptor = -1;
};

} // namespace rusena
