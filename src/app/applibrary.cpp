// App's side of the race library: batch imports, the day picker, the previous and next
// day, the check and the rebuild. Each forwards to one Session operation, as the rest of App
// does; what can take long runs as a job on its own thread, and the library's commands wait for it.

#include "app.h"

#include "daypicker.h"
#include "dialogs.h"
#include "fetchjob.h"
#include "filedrop.h"
#include "jobrunner.h"
#include "library/daykind.h"
#include "librarywindows.h"
#include "mainwindow.h"
#include "recentfiles.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>

#include <algorithm>
#include <memory>

namespace rusena {

namespace {

const QString RebuildingLabel = QStringLiteral("ライブラリを作り直しています...");

} // namespace

void App::connectLibrary()
{
    m_libraryActions = addLibraryActions(*m_main);
    connect(m_libraryActions.importFolder, &QAction::triggered, this, &App::onImportFolder);
    connect(m_libraryActions.pickDay, &QAction::triggered, this, &App::onPickDay);
    connect(
        m_libraryActions.previousDay, &QAction::triggered, this, [this] { onNeighbourDay(-1); });
    connect(m_libraryActions.nextDay, &QAction::triggered, this, [this] { onNeighbourDay(1); });
    connect(m_libraryActions.check, &QAction::triggered, this, &App::onCheckLibrary);
    connect(m_libraryActions.rebuild, &QAction::triggered, this, &App::onRebuild);
    connectFetch();
    // Queued: the drop returns to the dragging program before the batch runs.
    auto *drop = new FileDrop(m_main);
    connect(drop, &FileDrop::filesDropped, this, &App::importDropped, Qt::QueuedConnection);
    connect(m_jobs, &JobRunner::busyChanged, this, &App::onLibraryBusy);
}

DayPicker *App::dayPicker() const
{
    return m_dayPicker;
}

bool App::libraryBusy() const
{
    return m_jobs->isBusy() || m_fetch != nullptr;
}

bool App::deferWhileBusy(const std::function<void()> &action)
{
    if (m_jobs->isBusy()) {
        m_jobs->whenIdle(action);
        return true;
    }
    if (m_fetch) {
        m_afterFetch.append(action);
        return true;
    }
    return false;
}

QList<QAction *> App::libraryCommands() const
{
    return { m_main->mread(), m_libraryActions.importFolder, m_libraryActions.pickDay,
        m_libraryActions.previousDay, m_libraryActions.nextDay, m_libraryActions.check,
        m_libraryActions.rebuild, m_main->mhistory(), m_main->mpayouts(), m_main->mstats(),
        m_main->mprogramme(), m_main->mfavouriteraces(), m_libraryActions.fetchLatest,
        m_libraryActions.fetchPeriod };
}

// While a job holds the library every window stays usable, but nothing may reach the
// library: its commands are greyed out and its windows wait under a busy cursor.
void App::onLibraryBusy(bool busy)
{
    if (!m_main)
        return;
    for (QAction *action : libraryCommands())
        action->setEnabled(!busy);
    m_recent->menu()->setEnabled(!busy);
    m_library->setBusy(busy);
    if (m_dayPicker)
        m_dayPicker->setEnabled(!busy);
    if (busy)
        m_main->setCursor(Qt::BusyCursor);
    else
        m_main->unsetCursor();
}

bool App::runLibraryJob(const QString &label, Job::Work work)
{
    // The library's connection belongs to the thread that opened it: closed here, opened
    // and closed again on the job's thread, opened here again when next needed.
    m_session.releaseLibrary();
    return m_jobs->run(label, [this, work = std::move(work)](JobControl &control) {
        std::function<void()> then = work(control);
        m_session.releaseLibrary();
        return then;
    });
}

void App::openLibraryThen(std::function<void(const Outcome &opened)> next)
{
    if (deferWhileBusy([this, next] { openLibraryThen(next); }))
        return;
    if (m_session.library().isOpen()) {
        next(Outcome::success());
        return;
    }
    // Opening may mean rebuilding the index (a first use, another schema version, a
    // damaged file): that is a job's work, with its progress.
    runLibraryJob(RebuildingLabel, [this, next](JobControl &control) {
        const Outcome prepared = m_session.prepareLibrary(
            [&control](int done, int total, const QDate &) { control.advance(done, total); });
        return [this, next, prepared] {
            // Opened again on this thread, which is cheap now the job has checked it.
            next(prepared.ok() ? m_session.openLibrary() : prepared);
        };
    });
}

void App::withLibrary(std::function<void()> next)
{
    openLibraryThen([this, next](const Outcome &opened) {
        show(opened.message, m_main);
        render();
        if (opened.ok())
            next();
    });
}

void App::importPaths(const QStringList &paths)
{
    if (deferWhileBusy([this, paths] { importPaths(paths); }))
        return;
    const bool oneTextFile = paths.size() == 1 && !QFileInfo(paths.constFirst()).isDir()
        && !library::isArchiveName(paths.constFirst());
    if (oneTextFile) {
        openFile(paths.constFirst());
        return;
    }
    importBatch(paths);
}

void App::importDropped(const QStringList &paths)
{
    const bool programmes = std::any_of(paths.begin(), paths.end(), [](const QString &path) {
        return library::kindOfFileName(QFileInfo(path).fileName()) == library::DayKind::Programme;
    });
    if (programmes)
        importBatch(paths);
    else
        importPaths(paths);
}

void App::importBatch(const QStringList &paths, std::function<void()> then)
{
    runLibraryJob(QStringLiteral("取り込んでいます..."), [this, paths, then](JobControl &control) {
        auto report = std::make_shared<library::BatchReport>();
        const Outcome filed = m_session.fileBatch(
            paths, [&control](int done, int total) { return control.advance(done, total); },
            *report);
        return [this, filed, report, then] {
            const Outcome outcome = filed.ok() ? m_session.showBatch(*report) : filed;
            render();
            show(outcome.message, m_main);
            if (m_dayPicker && m_dayPicker->isVisible())
                m_dayPicker->setDays(m_session.library().storedDays(), m_session.dayOnShow());
            if (then)
                then();
        };
    });
}

void App::onImportFolder()
{
    if (const std::optional<QString> folder = Dialogs::chooseFolder(m_main))
        importPaths({ *folder });
}

void App::onPickDay()
{
    withLibrary([this] {
        if (!m_dayPicker) {
            m_dayPicker = new DayPicker;
            connect(m_dayPicker, &DayPicker::dayChosen, this, &App::onDayChosen);
        }
        m_dayPicker->setDays(m_session.library().storedDays(), m_session.dayOnShow());
        keepOverMain(m_dayPicker);
        m_dayPicker->show();
        m_dayPicker->activateWindow();
    });
}

void App::onDayChosen(const QDate &date)
{
    withLibrary([this, date] {
        const Outcome outcome = m_session.showStoredDay(date);
        render();
        show(outcome.message, m_main);
    });
}

void App::onNeighbourDay(int step)
{
    withLibrary([this, step] {
        const Outcome outcome = m_session.showNeighbourDay(step);
        render();
        showRaceRow();
        show(outcome.message, m_main);
    });
}

void App::onRebuild()
{
    runLibraryJob(RebuildingLabel, [this](JobControl &control) {
        const Outcome outcome = m_session.rebuildLibrary(
            [&control](int done, int total, const QDate &) { control.advance(done, total); });
        return [this, outcome] {
            render();
            show(outcome.message, m_main);
        };
    });
}

// The race list follows the race the session shows without choosing it again.
void App::showRaceRow()
{
    const QSignalBlocker blocker(m_main->list1());
    const int race = m_session.raceOnScreen();
    if (race > 0)
        m_main->list1()->setCurrentRow(race - 1);
    else
        m_main->list1()->clearSelection();
}

void App::onCheckLibrary()
{
    runLibraryJob(QStringLiteral("ライブラリを検査しています..."), [this](JobControl &control) {
        const Outcome outcome = m_session.checkLibrary(
            [&control](int done, int total, const QDate &) { control.advance(done, total); });
        return [this, outcome] {
            render();
            show(outcome.message, m_main);
        };
    });
}

} // namespace rusena
