// App's side of the race library: batch imports, the day picker, the previous and next
// day, the rebuild. Each forwards to one Session operation, as the rest of App does.

#include "app.h"

#include "daypicker.h"
#include "dialogs.h"
#include "filedrop.h"
#include "mainwindow.h"

#include <QAction>
#include <QFileInfo>

namespace rusena {

void App::connectLibrary()
{
    m_libraryActions = addLibraryActions(*m_main);
    connect(m_libraryActions.importFolder, &QAction::triggered, this, &App::onImportFolder);
    connect(m_libraryActions.pickDay, &QAction::triggered, this, &App::onPickDay);
    connect(
        m_libraryActions.previousDay, &QAction::triggered, this, [this] { onNeighbourDay(-1); });
    connect(m_libraryActions.nextDay, &QAction::triggered, this, [this] { onNeighbourDay(1); });
    connect(m_libraryActions.rebuild, &QAction::triggered, this, &App::onRebuild);
    // Queued: the drop returns to the dragging program before the batch runs.
    auto *drop = new FileDrop(m_main);
    connect(drop, &FileDrop::filesDropped, this, &App::importPaths, Qt::QueuedConnection);
}

DayPicker *App::dayPicker() const
{
    return m_dayPicker;
}

// Opens the library, with a progress dialog should it need rebuilding.
bool App::ensureLibrary()
{
    Dialogs::Progress progress(m_main, QStringLiteral("ライブラリを作り直しています..."));
    const Outcome opened = m_session.openLibrary(
        [&](int done, int total, const QDate &) { progress.advance(done, total); });
    show(opened.message, m_main);
    return opened.ok();
}

void App::importPaths(const QStringList &paths)
{
    const bool oneTextFile = paths.size() == 1 && !QFileInfo(paths.constFirst()).isDir()
        && !library::isArchiveName(paths.constFirst());
    if (oneTextFile) {
        openFile(paths.constFirst());
        return;
    }
    if (!ensureLibrary())
        return;
    Dialogs::Progress progress(m_main, QStringLiteral("取り込んでいます..."));
    const Outcome outcome = m_session.importBatch(
        paths, [&](int done, int total) { return progress.advance(done, total); });
    render();
    show(outcome.message, m_main);
    if (m_dayPicker && m_dayPicker->isVisible())
        m_dayPicker->setDays(m_session.library().storedDays(), m_session.dayOnShow());
}

void App::onImportFolder()
{
    if (const std::optional<QString> folder = Dialogs::chooseFolder(m_main))
        importPaths({ *folder });
}

void App::onPickDay()
{
    if (!ensureLibrary())
        return;
    if (!m_dayPicker) {
        m_dayPicker = new DayPicker;
        connect(m_dayPicker, &DayPicker::dayChosen, this, &App::onDayChosen);
    }
    m_dayPicker->setDays(m_session.library().storedDays(), m_session.dayOnShow());
    keepOverMain(m_dayPicker);
    m_dayPicker->show();
    m_dayPicker->activateWindow();
}

void App::onDayChosen(const QDate &date)
{
    const Outcome outcome = m_session.showStoredDay(date);
    render();
    show(outcome.message, m_main);
}

void App::onNeighbourDay(int step)
{
    if (!ensureLibrary())
        return;
    const Outcome outcome = m_session.showNeighbourDay(step);
    render();
    show(outcome.message, m_main);
}

void App::onRebuild()
{
    Dialogs::Progress progress(m_main, QStringLiteral("ライブラリを作り直しています..."));
    const Outcome outcome = m_session.rebuildLibrary(
        [&](int done, int total, const QDate &) { progress.advance(done, total); });
    render();
    show(outcome.message, m_main);
}

} // namespace rusena
