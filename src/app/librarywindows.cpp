#include "librarywindows.h"

#include "historywindow.h"
#include "library/payoutquery.h"
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

template <typename W> W *LibraryWindows::prepare(QPointer<W> &window, const QSqlDatabase &db)
{
    if (!window) {
        window = new W;
        connect(window, &W::raceActivated, this, &LibraryWindows::raceActivated);
    }
    window->setDatabase(db);
    return window;
}

void LibraryWindows::openHistory(const QString &favourite)
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const bool fresh = !m_history;
    HistoryWindow *w = prepare(m_history, *db);
    w->show();
    w->raise();
    w->activateWindow();
    // The favourite is filled in once; a window opened again keeps what the user searched.
    if (fresh && !favourite.isEmpty())
        w->lookUp(favourite);
}

void LibraryWindows::openPayouts(const QDate &day)
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    PayoutWindow *w = prepare(m_payouts, *db);
    const QDate shown = day.isValid() ? day : library::latestDay(*db).value.value_or(QDate());
    w->showDay(shown);
    w->show();
    w->raise();
    w->activateWindow();
}

void LibraryWindows::openStats()
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    if (!m_stats) {
        m_stats = new StatsWindow;
    }
    m_stats->setDatabase(*db);
    m_stats->refresh();
    m_stats->show();
    m_stats->raise();
    m_stats->activateWindow();
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
