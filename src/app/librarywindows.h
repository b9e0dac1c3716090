#pragma once

#include "celltablemodel.h"
#include "databasefn.h"

#include <QDate>
#include <QObject>
#include <QPointer>

namespace rusena {

class FavouriteRacesWindow;
class HistoryWindow;
class PayoutWindow;
class ProgrammeWindow;
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
    /// 出走表 of `race` (the newest programme day's first race where there is none such).
    void openProgramme(const RaceRef &race);
    /// お気に入り選手の出走 of `favourite` ("" for none) on the programme day `date`.
    void openFavouriteRaces(const QString &favourite, const QDate &date);
    void hideAll();
    /// While a job holds the library the windows stay on screen, can be moved and closed,
    /// but take no input that would query it, and show a busy cursor.
    void setBusy(bool busy);

    HistoryWindow *history() const;
    PayoutWindow *payouts() const;
    StatsWindow *stats() const;
    ProgrammeWindow *programme() const;
    FavouriteRacesWindow *favouriteRaces() const;

Q_SIGNALS:
    /// A race row was double-clicked (or Enter pressed on it) in one of the windows.
    void raceActivated(const rusena::RaceRef &race);
    /// 出走表 asked for the favourite's races of its day.
    void favouriteRacesRequested(const QDate &date);
    /// 出走表 asked to import programme files.
    void programmeFilesRequested();

private:
    template <typename W> W *prepare(QPointer<W> &window);
    /// Every window, those not made yet as null.
    QList<QWidget *> windows() const;

    DatabaseFn m_database;
    QPointer<HistoryWindow> m_history;
    QPointer<PayoutWindow> m_payouts;
    QPointer<StatsWindow> m_stats;
    QPointer<ProgrammeWindow> m_programme;
    QPointer<FavouriteRacesWindow> m_favouriteRaces;
};

} // namespace rusena
