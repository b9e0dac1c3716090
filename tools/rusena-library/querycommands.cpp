#include "querycommands.h"

#include "commandparser.h"

#include "library/csvwriter.h"
#include "library/historyquery.h"
#include "library/library.h"
#include "library/statsquery.h"
#include "store/resultlayout.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QSqlDatabase>

using namespace Qt::StringLiterals;

namespace rusena::tool {

using library::Period;

namespace {

const QString FromOption = u"from"_s;
const QString ToOption = u"to"_s;
const QString VenueOption = u"venue"_s;

void addPeriodOptions(QCommandLineParser &parser, bool withVenue)
{
    parser.addOption({ FromOption, u"この日から (含む)。"_s, u"YYYY-MM-DD"_s });
    parser.addOption({ ToOption, u"この日まで (含む)。"_s, u"YYYY-MM-DD"_s });
    if (withVenue)
        parser.addOption({ VenueOption,
            u"この場だけ (場コード 1～%1。venues で一覧できます)。"_s.arg(layout::VenueCount),
            u"CODE"_s });
}

bool readVenue(const QString &text, int &venue, QTextStream &err)
{
    static const QRegularExpression shape(u"^[0-9]{1,2}$"_s);
    venue = shape.match(text).hasMatch() ? text.toInt() : 0;
    if (venue >= 1 && venue <= layout::VenueCount)
        return true;
    err << u"場コードは 1 から %1 の数字です: "_s.arg(layout::VenueCount) << text << u'\n';
    return false;
}

bool readPeriod(
    const QCommandLineParser &parser, bool withVenue, CommandContext &context, Period &period)
{
    QString from, to, venue;
    if (!singleValue(parser, FromOption, context, from)
        || !singleValue(parser, ToOption, context, to)
        || (withVenue && !singleValue(parser, VenueOption, context, venue)))
        return false;
    return (from.isNull() || readDate(from, period.from, context.err))
        && (to.isNull() || readDate(to, period.to, context.err))
        && (venue.isNull() || readVenue(venue, period.venue, context.err));
}

bool emptyPeriod(const Period &period)
{
    return period.from.isValid() && period.to.isValid() && period.from > period.to;
}

void noteEmptyPeriod(QTextStream &err)
{
    err << u"注意: --from が --to より後なので、期間に含まれる日はありません。\n"_s;
}

// The registration number `player` names: four half-width digits as they stand, or the
// one player whose name holds it. "" when there is none or more than one (said on `err`).
QString playerReg(const QSqlDatabase &db, const QString &player, QTextStream &err, int &status)
{
    const QString key = library::nameKey(player);
    if (library::isRegistrationNumber(key))
        return key;
    status = BadArguments;
    if (key.isEmpty()) {
        err << u"選手の登録番号 (半角数字 4 桁) か名前を指定してください。\n"_s;
        return {};
    }
    const auto found = library::findPlayers(db, key);
    if (!found.ok()) {
        err << found.error << u'\n';
        status = 1;
        return {};
    }
    if (found.value->isEmpty()) {
        err << u"「%1」に当たる選手はいません (登録番号は半角数字 4 桁です)。\n"_s.arg(player);
        return {};
    }
    if (found.value->size() > 1) {
        err << u"「%1」に当たる選手が %2 人います。登録番号で指定してください:\n"_s.arg(player).arg(
            found.value->size());
        for (const library::PlayerMatch &match : *found.value)
            err << match.reg << u"  "_s << match.name << u'\n';
        return {};
    }
    return found.value->constFirst().reg;
}

// Runs a query on the data folder's library, writing its CSV straight to standard output.
template <typename Write> int runQuery(CommandContext &context, Write write)
{
    int status = 0;
    const auto lib = openForReading(context, status);
    if (!lib)
        return status;
    context.out.flush();
    status = write(lib->database(), *context.out.device());
    context.err.flush();
    return status;
}

} // namespace

bool parseHistoryArgs(CommandContext &context, HistoryArgs &args, int &status)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"選手の全出走を CSV で標準出力に書きます。PLAYER は登録番号 (半角数字 4 桁) か、"
        "名前の一部 (半角・全角の空白は無視) です。"_s);
    parser.addPositionalArgument(u"PLAYER"_s, u"登録番号か名前の一部。"_s);
    addPeriodOptions(parser, false);
    if (!parseCommand(parser, context, status, 1, 1))
        return false;
    status = BadArguments;
    args.player = parser.positionalArguments().constFirst();
    return readPeriod(parser, false, context, args.period);
}

bool parseStatsArgs(CommandContext &context, Period &period, int &status)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"場とコース別の成績 (出走数、1～3 着、1着率、2連対率、3連対率、平均 ST) を CSV で"
        "標準出力に書きます。"_s);
    addPeriodOptions(parser, true);
    if (!parseCommand(parser, context, status))
        return false;
    status = BadArguments;
    return readPeriod(parser, true, context, period);
}

int writeHistoryCsv(
    const QSqlDatabase &db, const HistoryArgs &args, QIODevice &out, QTextStream &err)
{
    int status = 0;
    const QString reg = playerReg(db, args.player, err, status);
    if (reg.isEmpty())
        return status;
    const auto rows = library::queryHistory(db, reg, args.period);
    if (!rows.ok()) {
        err << rows.error << u'\n';
        return 1;
    }
    library::CsvWriter csv(out,
        { u"date"_s, u"venue_code"_s, u"venue"_s, u"race"_s, u"heading"_s, u"boat"_s, u"course"_s,
            u"placing"_s, u"rank"_s, u"start"_s, u"race_time"_s, u"technique"_s });
    for (const library::HistoryRow &r : *rows.value) {
        csv.writeRow({ r.date, QString::number(r.venueCode).rightJustified(2, u'0'),
            library::venueName(r.venueCode), QString::number(r.race), r.heading, r.boat,
            r.course ? QString::number(*r.course) : QString(), r.placing,
            r.rank ? QString::number(*r.rank) : QString(), r.start, r.raceTime, r.technique });
    }
    if (!csv.flush()) {
        err << out.errorString() << u'\n';
        return 1;
    }
    if (emptyPeriod(args.period))
        noteEmptyPeriod(err);
    else if (rows.value->isEmpty())
        err << u"注意: 登録番号 %1 の出走はこの期間にありません。\n"_s.arg(reg);
    return 0;
}

int writeStatsCsv(const QSqlDatabase &db, const Period &period, QIODevice &out, QTextStream &err)
{
    const auto report = library::queryStats(db, period);
    if (!report.ok()) {
        err << report.error << u'\n';
        return 1;
    }
    library::CsvWriter csv(out, library::statsCsvHeader());
    for (const library::CourseStats &row : report.value->courses)
        csv.writeRow(library::statsCsvFields(row));
    if (!csv.flush()) {
        err << out.errorString() << u'\n';
        return 1;
    }
    if (emptyPeriod(period))
        noteEmptyPeriod(err);
    return 0;
}

int runHistory(CommandContext &context)
{
    HistoryArgs args;
    int status = 0;
    if (!parseHistoryArgs(context, args, status))
        return status;
    return runQuery(context, [&](const QSqlDatabase &db, QIODevice &out) {
        return writeHistoryCsv(db, args, out, context.err);
    });
}

int runStats(CommandContext &context)
{
    Period period;
    int status = 0;
    if (!parseStatsArgs(context, period, status))
        return status;
    return runQuery(context, [&](const QSqlDatabase &db, QIODevice &out) {
        return writeStatsCsv(db, period, out, context.err);
    });
}

} // namespace rusena::tool
