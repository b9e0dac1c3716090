#include "payoutquery.h"

#include "store/resultlayout.h"
#include "storedpayouts.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace rusena::library {

namespace {

static_assert(BetCount == int(layout::BetNames.size()));

std::optional<Bet> betFromName(QStringView name)
{
    for (int i = 0; i < BetCount; ++i) {
        if (layout::BetNames[size_t(i)] == name)
            return Bet(i);
    }
    return std::nullopt;
}

template <typename F> QString joined(const QList<PaidLine> &paid, F text)
{
    QStringList parts;
    for (const PaidLine &p : paid)
        parts.append(text(p));
    return parts.join(QStringLiteral(" / "));
}

} // namespace

QString betName(Bet bet)
{
    return layout::BetNames.at(size_t(bet)).toString();
}

bool hasPopularity(Bet bet)
{
    return bet != Bet::Win && bet != Bet::Place;
}

std::optional<qint64> PayoutRow::largestYen(Bet bet) const
{
    std::optional<qint64> largest;
    for (const PaidLine &p : bets.at(int(bet))) {
        if (p.note.isEmpty() && p.yen && (!largest || *p.yen > *largest))
            largest = p.yen;
    }
    return largest;
}

QueryResult<QList<PayoutRow>> queryPayouts(const QSqlDatabase &db, const Period &period)
{
    // One pass over the races, each with its payout lines (none for a void race).
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT date, venue_code, race, void, payouts FROM races"
                             " WHERE date >= ? AND date <= ? AND (? = 0 OR venue_code = ?)"
                             " ORDER BY date, venue_code, race, seq"));
    q.addBindValue(period.fromKey());
    q.addBindValue(period.toKey());
    q.addBindValue(period.venue);
    q.addBindValue(period.venue);
    if (!q.exec())
        return QueryResult<QList<PayoutRow>>::failure(q.lastError().text());
    QList<PayoutRow> rows;
    while (q.next()) {
        PayoutRow row { q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(),
            q.value(3).toInt() != 0, {} };
        const QString payouts = q.value(4).toString();
        for (const Payout &p : readStoredPayouts(payouts)) {
            if (const std::optional<Bet> bet = betFromName(p.bet)) {
                row.bets[int(*bet)].append({ p.combination.toString(), p.yen,
                    p.popularity ? std::optional(int(*p.popularity)) : std::nullopt,
                    p.note.toString() });
            }
        }
        rows.append(std::move(row));
    }
    return QueryResult<QList<PayoutRow>>::success(std::move(rows));
}

QList<PayoutRow> withTrifectaAtLeast(const QList<PayoutRow> &rows, qint64 minimumYen)
{
    if (minimumYen <= 0)
        return rows;
    QList<PayoutRow> kept;
    for (const PayoutRow &row : rows) {
        if (row.largestYen(Bet::Trifecta).value_or(-1) >= minimumYen)
            kept.append(row);
    }
    return kept;
}

PayoutSummary summarize(const QList<PayoutRow> &rows)
{
    PayoutSummary s;
    s.races = int(rows.size());
    QList<qint64> trifecta;
    for (const PayoutRow &row : rows) {
        if (const std::optional<qint64> yen = row.largestYen(Bet::Trifecta))
            trifecta.append(*yen);
    }
    s.trifectaRaces = int(trifecta.size());
    if (trifecta.isEmpty())
        return s;
    std::sort(trifecta.begin(), trifecta.end());
    const qsizetype n = trifecta.size();
    s.medianTrifecta = n % 2 ? trifecta[n / 2] : (trifecta[n / 2 - 1] + trifecta[n / 2] + 1) / 2;
    s.largestTrifecta = trifecta.last();
    s.trifecta10k = int(
        std::count_if(trifecta.begin(), trifecta.end(), [](qint64 yen) { return yen >= 10000; }));
    return s;
}

std::array<int, TrifectaBins.size()> trifectaHistogram(const QList<PayoutRow> &rows)
{
    std::array<int, TrifectaBins.size()> counts {};
    for (const PayoutRow &row : rows) {
        const std::optional<qint64> yen = row.largestYen(Bet::Trifecta);
        if (!yen)
            continue;
        const auto bin = std::upper_bound(TrifectaBins.begin(), TrifectaBins.end(), *yen) - 1;
        ++counts[size_t(bin - TrifectaBins.begin())];
    }
    return counts;
}

QString groupedYen(qint64 yen)
{
    // The C locale, so that the digits read the same whatever the user's locale, but
    // with its thousands separator switched on.
    static const QLocale c = [] {
        QLocale l = QLocale::c();
        l.setNumberOptions(QLocale::DefaultNumberOptions);
        return l;
    }();
    return c.toString(yen);
}

QString combinationText(const QList<PaidLine> &paid)
{
    return joined(
        paid, [](const PaidLine &p) { return p.note.isEmpty() ? p.combination : p.note; });
}

QString yenText(const QList<PaidLine> &paid, bool grouped)
{
    return joined(paid, [grouped](const PaidLine &p) {
        return !p.yen ? QString() : grouped ? groupedYen(*p.yen) : QString::number(*p.yen);
    });
}

QString popularityText(const QList<PaidLine> &paid)
{
    return joined(paid, [](const PaidLine &p) {
        return p.popularity ? QString::number(*p.popularity) : QString();
    });
}

} // namespace rusena::library
