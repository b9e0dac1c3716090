#pragma once

#include "library/period.h"
#include "library/queryresult.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class QSqlDatabase;

namespace rusena::library {

/// One race of a player: the placing row with its race, as the file writes them.
struct HistoryRow final {
    QString date; ///< YYYY-MM-DD
    int venueCode = 0;
    int race = 0;
    QString heading;
    QString boat;
    std::optional<int> course; ///< none for a boat that did not start
    QString placing; ///< 01..06, F, L0, K1, S0 ...
    std::optional<int> rank; ///< 1..6 where placing is 01..06
    QString start; ///< as written: 0.14, F0.02, L1.04, K .
    std::optional<int> startHundredths; ///< plain timings only
    QString raceTime;
    QString technique; ///< the race's winning technique where rank is 1, else ""
    QString name;
    bool isVoid = false;
};

/// What the summary above the history table counts. A start is as isStart() says, as in
/// the statistics; F and L count every such mark, void races included, because the
/// penalty stands. Rates are percentages ("77.3"), 勝率 the mean of the placing points.
struct HistorySummary final {
    int starts = 0;
    int first = 0;
    int second = 0;
    int third = 0;
    int flying = 0;
    int late = 0;
    qint64 points = 0;
    qint64 startSumHundredths = 0;
    int plainStarts = 0;
    std::array<int, 7> startsByCourse {}; ///< index 1..6
    std::array<int, 7> winsByCourse {};
    std::array<int, 7> pointsByCourse {};

    /// Starts placed 1st to `n`th (1..3): the numerators of 1着率, 2連対率 and 3連対率.
    int topN(int n) const;
    QString pointsAverage() const; ///< 勝率
    QString averageStart() const;
    QString courseFirstShare(int course) const;
    QString coursePointsAverage(int course) const;
};

/// A player a name search found: registration number, the name as last written, his
/// first and last day in the library and his starts (as HistorySummary counts them).
struct PlayerMatch final {
    QString reg;
    QString name;
    QString firstDay; ///< YYYY-MM-DD
    QString lastDay;
    int starts = 0;
};

/// Every placing row of registration number `reg` in the period, oldest first, in the
/// order entries are exported (date, venue, race, row of the file).
QueryResult<QList<HistoryRow>> queryHistory(
    const QSqlDatabase &db, const QString &reg, const Period &period = {});

HistorySummary summarize(const QList<HistoryRow> &rows);

/// The players whose name holds `part`, blanks of either width ignored on both sides;
/// ordered by registration number.
QueryResult<QList<PlayerMatch>> findPlayers(const QSqlDatabase &db, const QString &part);

/// `text` without half- and full-width blanks, as the index keys names.
QString nameKey(QStringView text);

/// True for four half-width digits, the only registration numbers the index holds.
bool isRegistrationNumber(const QString &text);

} // namespace rusena::library
