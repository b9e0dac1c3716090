#include "librarywindows.h"

#include "historywindow.h"
#include "library/storedspan.h"
#include "payoutwindow.h"
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

void LibraryWindows::setBusy(bool busy)
{
    for (QWidget *w : { static_cast<QWidget *>(m_history.data()),
             static_cast<QWidget *>(m_payouts.data()), static_cast<QWidget *>(m_stats.data()) }) {
        if (!w)
            continue;
        w->setEnabled(!busy);
        if (busy)
            w->setCursor(Qt::BusyCursor);
        else
            w->unsetCursor();
    }
}

void LibraryWindows::hideAll()
{
    for (QWidget *w : { static_cast<QWidget *>(m_history.data()),
             static_cast<QWidget *>(m_payouts.data()), static_cast<QWidget *>(m_stats.data()) }) {
        if (w)
            w->hide();
    }
}

} // namespace rusena
