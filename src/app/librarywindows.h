#pragma once

#include "celltablemodel.h"
#include "databasefn.h"

#include <QDate>
#include <QObject>
#include <QPointer>

namespace rusena {

class HistoryWindow;
class PayoutWindow;
class StatsWindow;

/// The three windows of menu 検索 over the day library, made on first use. Each window asks
/// for the library's database at every query (it is opened on first use, and may fail:
/// the function then has told the user why and returns nothing).
class LibraryWindows final : public QObject {
    Q_OBJECT
public:
    explicit LibraryWindows(DatabaseFn database, QObject *parent = nullptr);
    ~LibraryWindows() override;

    /// 選手成績, looking up `favourite` (a registration number, "" for none).
    void openHistory(const QString &favourite);
    /// 払戻金一覧 of `day` (the day on show; the newest stored day when invalid).
    void openPayouts(const QDate &day);
    /// 統計 over the whole library.
    void openStats();
    void hideAll();
    /// While a job holds the library the windows stay on screen, can be moved and closed,
    /// but take no input that would query it, and show a busy cursor.
    void setBusy(bool busy);

    HistoryWindow *history() const;
    PayoutWindow *payouts() const;
    StatsWindow *stats() const;

Q_SIGNALS:
    /// A race row was double-clicked (or Enter pressed on it) in one of the windows.
    void raceActivated(const rusena::RaceRef &race);

private:
    template <typename W> W *prepare(QPointer<W> &window);

    DatabaseFn m_database;
    QPointer<HistoryWindow> m_history;
    QPointer<PayoutWindow> m_payouts;
    QPointer<StatsWindow> m_stats;
};

} // namespace rusena
