#include "librarywindows.h"

#include "favouriteraceswindow.h"
#include "historywindow.h"
#include "library/storedspan.h"
#include "payoutwindow.h"
#include "programmewindow.h"
#include "statswindow.h"

namespace rusena {

LibraryWindows::LibraryWindows(DatabaseFn database, QObject *parent)
    : QObject(parent)
    , m_database(std::move(database))
{
}

LibraryWindows::~LibraryWindows()
{
    delete m_history;
    delete m_payouts;
    delete m_stats;
    delete m_programme;
    delete m_favouriteRaces;
}

HistoryWindow *LibraryWindows::history() const
{
    return m_history;
}

PayoutWindow *LibraryWindows::payouts() const
{
    return m_payouts;
}

StatsWindow *LibraryWindows::stats() const
{
    return m_stats;
}

ProgrammeWindow *LibraryWindows::programme() const
{
    return m_programme;
}

FavouriteRacesWindow *LibraryWindows::favouriteRaces() const
{
    return m_favouriteRaces;
}

template <typename W> W *LibraryWindows::prepare(QPointer<W> &window)
{
    if (!window) {
        window = new W(m_database);
        if constexpr (requires { &W::raceActivated; })
            connect(window, &W::raceActivated, this, &LibraryWindows::raceActivated);
    }
    return window;
}

void LibraryWindows::openHistory(const QString &favourite)
{
    // The library is opened (or its failure told) before any window shows.
    if (!m_database())
        return;
    const bool fresh = !m_history;
    HistoryWindow *w = prepare(m_history);
    w->show();
    w->raise();
    w->activateWindow();
    // The favourite is filled in once; a window opened again keeps what the user searched,
    // selected, so that typing replaces it.
    if (fresh && !favourite.isEmpty())
        w->lookUp(favourite);
    w->selectSearchText();
}

void LibraryWindows::openPayouts(const QDate &day)
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    PayoutWindow *w = prepare(m_payouts);
    const QDate shown
        = day.isValid() ? day : library::storedSpan(*db).value.value_or(library::DaySpan {}).last;
    w->showDay(shown);
    w->show();
    w->raise();
    w->activateWindow();
}

void LibraryWindows::openStats()
{
    if (!m_database())
        return;
    StatsWindow *w = prepare(m_stats);
    w->refresh();
    w->show();
    w->raise();
    w->activateWindow();
}

QList<QWidget *> LibraryWindows::windows() const
{
    return { m_history.data(), m_payouts.data(), m_stats.data(), m_programme.data(),
        m_favouriteRaces.data() };
}

void LibraryWindows::setBusy(bool busy)
{
    for (QWidget *w : windows()) {
        if (!w)
            continue;
        w->setEnabled(!busy);
        if (busy)
            w->setCursor(Qt::BusyCursor);
        else
            w->unsetCursor();
    }
}

void LibraryWindows::openProgramme(const RaceRef &race)
{
    if (!m_database())
        return;
    if (!m_programme) {
        m_programme = new ProgrammeWindow(m_database);
        connect(m_programme, &ProgrammeWindow::raceActivated, this, &LibraryWindows::raceActivated);
        connect(m_programme, &ProgrammeWindow::favouriteRacesRequested, this,
            &LibraryWindows::favouriteRacesRequested);
        connect(m_programme, &ProgrammeWindow::openFilesRequested, this,
            &LibraryWindows::programmeFilesRequested);
        // An entrant opens 選手成績 on him, whatever that window showed before.
        connect(m_programme, &ProgrammeWindow::playerActivated, this, [this](const QString &reg) {
            openHistory(QString());
            if (m_history)
                m_history->lookUp(reg);
        });
    }
    m_programme->showRace(race);
    m_programme->show();
    m_programme->raise();
    m_programme->activateWindow();
}

void LibraryWindows::openFavouriteRaces(const QString &favourite, const QDate &date)
{
    if (!m_database())
        return;
    if (!m_favouriteRaces) {
        m_favouriteRaces = new FavouriteRacesWindow(m_database);
        connect(m_favouriteRaces, &FavouriteRacesWindow::raceChosen, this,
            &LibraryWindows::openProgramme);
    }
    m_favouriteRaces->showPlayer(favourite, date);
    m_favouriteRaces->show();
    m_favouriteRaces->raise();
    m_favouriteRaces->activateWindow();
}

void LibraryWindows::hideAll()
{
    for (QWidget *w : windows()) {
        if (w)
            w->hide();
    }
}

} // namespace rusena
