#pragma once

#include "library/period.h"
#include "library/queryresult.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class QSqlDatabase;

namespace rusena::library {

/// The bets, in the file's order (layout::BetNames), which is the payouts window's.
enum class Bet { Win, Place, Exacta, Quinella, QuinellaPlace, Trifecta, Trio };
inline constexpr int BetCount = 7;

/// The bet as the file writes it (単勝, ２連単, ...), the one spelling shown and written.
QString betName(Bet bet);
/// False for 単勝 and 複勝, for which the files write no popularity.
bool hasPopularity(Bet bet);

/// One paid line of a bet; a dead heat pays several.
struct PaidLine final {
    QString combination; ///< 1-3-4; empty for 特払い and 不成立
    std::optional<qint64> yen;
    std::optional<int> popularity;
    QString note; ///< 特払い, 不成立 or ""
};

struct PayoutRow final {
    QString date;
    int venueCode = 0;
    int race = 0;
    bool isVoid = false;
    std::array<QList<PaidLine>, BetCount> bets;

    /// The largest plain payout of `bet` (特払い and 不成立 have none), for sorting,
    /// filtering and the summary.
    std::optional<qint64> largestYen(Bet bet) const;
};

/// Over a set of races: how many, and the median, largest and count of 10,000 yen or
/// more of their ３連単 (each race by its largest plain ３連単; races without one are not
/// in the figures).
struct PayoutSummary final {
    int races = 0;
    int trifectaRaces = 0;
    std::optional<qint64> medianTrifecta; ///< even count: mean of the middle two, rounded half up
    std::optional<qint64> largestTrifecta;
    int trifecta10k = 0;
};

/// One row per race of the period, ordered by date, venue and race.
QueryResult<QList<PayoutRow>> queryPayouts(const QSqlDatabase &db, const Period &period);

/// The rows whose ３連単 pays at least `minimumYen` (all rows when it is 0).
QList<PayoutRow> withTrifectaAtLeast(const QList<PayoutRow> &rows, qint64 minimumYen);

PayoutSummary summarize(const QList<PayoutRow> &rows);

/// Lower bounds of the ３連単 histogram's bins, in yen; the last bin is open.
inline constexpr std::array<qint64, 8> TrifectaBins { 0, 1000, 2000, 5000, 10000, 20000, 50000,
    100000 };

/// How many races fall in each bin of TrifectaBins, by their largest plain ３連単.
std::array<int, TrifectaBins.size()> trifectaHistogram(const QList<PayoutRow> &rows);

/// A payout cell as the window writes it: "1-3-4", "特払い", "不成立"; lines of a dead
/// heat joined by " / ".
QString combinationText(const QList<PaidLine> &paid);
/// 12,340: yen with thousands separators.
QString groupedYen(qint64 yen);
/// The yen of each line, grouped as shown (12,340) or plain as a file gets them (12340).
QString yenText(const QList<PaidLine> &paid, bool grouped = true);
QString popularityText(const QList<PaidLine> &paid);

} // namespace rusena::library
