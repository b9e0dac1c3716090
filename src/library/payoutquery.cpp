#include "payoutquery.h"

#include "library/digits.h"
#include "sqliteread.h"
#include "store/resultlayout.h"
#include "storedpayouts.h"

#include <QSqlDatabase>

#include <algorithm>
#include <iterator>

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

// The paid lines' texts, " / " between them, each appended in place: the table of a
// day's payouts makes some six thousand of these.
template <typename F> QString joined(const QList<PaidLine> &paid, F append)
{
    QString out;
    for (qsizetype i = 0; i < paid.size(); ++i) {
        if (i > 0)
            out += QLatin1StringView(" / ");
        append(out, paid[i]);
    }
    return out;
}

// The digits of a yen amount or a popularity, with a comma between thousands if asked.
void appendNumber(QString &out, qint64 number, bool grouped = false)
{
    char digits[20];
    char *const end = std::end(digits);
    const char *const begin = digitsBefore(end, number < 0 ? 0 - quint64(number) : quint64(number));
    if (number < 0)
        out += u'-';
    for (const char *d = begin; d != end; ++d) {
        if (grouped && d != begin && (end - d) % 3 == 0)
            out += u',';
        out += QLatin1Char(*d);
    }
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
    ReadStatement s(db,
        "SELECT date, venue_code, race, void, payouts FROM races"
        " WHERE date >= ?1 AND date <= ?2 AND (?3 = 0 OR venue_code = ?3)"
        " ORDER BY date, venue_code, race, seq");
    s.bind(1, period.fromKey());
    s.bind(2, period.toKey());
    s.bind(3, period.venue);
    QList<PayoutRow> rows;
    while (s.next()) {
        PayoutRow row { s.text(0), int(s.integer(1)), int(s.integer(2)), s.integer(3) != 0, {} };
        const QString payouts = s.text(4);
        for (const Payout &p : readStoredPayouts(payouts)) {
            if (const std::optional<Bet> bet = betFromName(p.bet)) {
                row.bets[int(*bet)].append({ p.combination.toString(), p.yen,
                    p.popularity ? std::optional(int(*p.popularity)) : std::nullopt,
                    p.note.toString() });
            }
        }
        rows.append(std::move(row));
    }
    if (!s.error().isEmpty())
        return QueryResult<QList<PayoutRow>>::failure(s.error());
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
    QString text;
    appendNumber(text, yen, true);
    return text;
}

QString combinationText(const QList<PaidLine> &paid)
{
    return joined(paid,
        [](QString &out, const PaidLine &p) { out += p.note.isEmpty() ? p.combination : p.note; });
}

QString yenText(const QList<PaidLine> &paid, bool grouped)
{
    return joined(paid, [grouped](QString &out, const PaidLine &p) {
        if (p.yen)
            appendNumber(out, *p.yen, grouped);
    });
}

QString popularityText(const QList<PaidLine> &paid)
{
    return joined(paid, [](QString &out, const PaidLine &p) {
        if (p.popularity)
            appendNumber(out, *p.popularity);
    });
}

} // namespace rusena::library
