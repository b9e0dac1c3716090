// App's side of the programme windows: 出走表 and the favourite's races, the files the
// 出走表 window imports. Each forwards to LibraryWindows or to the session's batch import.

#include "app.h"

#include "dialogs.h"
#include "library/period.h"
#include "librarywindows.h"
#include "mainwindow.h"
#include "programmewindow.h"
#include "recentfiles.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>

namespace rusena {

namespace {

QString favouriteOf(const Session &session)
{
    const int favourite = session.settings().favouriteNumber;
    return favourite > 0 ? QString::number(favourite).rightJustified(4, u'0') : QString();
}

} // namespace

void App::connectProgrammes()
{
    connect(m_main->mprogramme(), &QAction::triggered, this,
        [this] { m_library->openProgramme(raceOnShow()); });
    connect(m_main->mfavouriteraces(), &QAction::triggered, this,
        [this] { m_library->openFavouriteRaces(favouriteOf(m_session), QDate()); });
    connect(m_library, &LibraryWindows::favouriteRacesRequested, this,
        [this](const QDate &date) { m_library->openFavouriteRaces(favouriteOf(m_session), date); });
    connect(m_library, &LibraryWindows::programmeFilesRequested, this, &App::onProgrammeFiles);
}

RaceRef App::raceOnShow() const
{
    const ScreenModel &screen = m_session.screen();
    int venue = 0;
    for (int code = 1; code <= 24; ++code) {
        if (library::venueName(code) == screen.cmbText())
            venue = code;
    }
    return { m_session.dayOnShow(), venue, m_main->list1()->currentRow() + 1 };
}

void App::onProgrammeFiles()
{
    QWidget *parent = m_library->programme();
    const QStringList paths = Dialogs::openResultFiles(parent, m_recent->lastFolder());
    if (paths.isEmpty())
        return;
    m_recent->setLastFolder(QFileInfo(paths.constFirst()).absolutePath());
    // Programme files always go the library's way, even one alone; the window shows the
    // race again once they are in.
    importBatch(paths, [this] {
        m_library->openProgramme(
            m_library->programme() ? m_library->programme()->shownRace() : raceOnShow());
    });
}

} // namespace rusena
