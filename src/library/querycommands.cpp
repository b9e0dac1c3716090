#include "querycommands.h"

#include "library/csvwriter.h"
#include "library/historyquery.h"
#include "library/statsquery.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QTextStream>

namespace rusena::library {

namespace {

std::optional<QDate> parseDate(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

int parseVenue(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^[0-9]{1,2}$"));
    const int code = shape.match(text).hasMatch() ? text.toInt() : 0;
    return code >= 1 && code <= 24 ? code : 0;
}

// Reads `--from D`, `--to D` and (where allowed) `--venue CODE`, each at most once; every
// other word goes to `positional`. Returns the complaint, or "" when all were good.
QString parseOptions(
    const QStringList &args, bool venueAllowed, Period &period, QStringList &positional)
{
    bool seenFrom = false, seenTo = false, seenVenue = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool isFrom = arg == u"--from", isTo = arg == u"--to";
        const bool isVenue = venueAllowed && arg == u"--venue";
        if (!isFrom && !isTo && !isVenue) {
            if (arg.startsWith(u'-'))
                return QStringLiteral("不明なオプションです: ") + arg;
            positional.append(arg);
            continue;
        }
        bool &seen = isFrom ? seenFrom : isTo ? seenTo : seenVenue;
        if (seen)
            return arg + QStringLiteral(" が二度指定されています");
        seen = true;
        if (++i >= args.size())
            return arg + QStringLiteral(" の値がありません");
        const QString &value = args[i];
        if (isVenue) {
            period.venue = parseVenue(value);
            if (period.venue == 0)
                return QStringLiteral("場コードは 1 から 24 の数字です: ") + value;
            continue;
        }
        const std::optional<QDate> date = parseDate(value);
        if (!date)
            return QStringLiteral("日付は YYYY-MM-DD で指定してください: ") + value;
        (isFrom ? period.from : period.to) = *date;
    }
    return {};
}

} // namespace

std::variant<HistoryArgs, BadArguments> parseHistoryArgs(const QStringList &args)
{
    HistoryArgs parsed;
    QStringList positional;
    if (const QString why = parseOptions(args, false, parsed.period, positional); !why.isEmpty())
        return BadArguments { why };
    if (positional.size() != 1)
        return BadArguments { QStringLiteral("登録番号をひとつ指定してください") };
    if (!isRegistrationNumber(positional.first()))
        return BadArguments { QStringLiteral("登録番号は半角数字 4 桁です: ")
            + positional.first() };
    parsed.reg = positional.first();
    return parsed;
}

std::variant<Period, BadArguments> parseStatsArgs(const QStringList &args)
{
    Period period;
    QStringList positional;
    if (const QString why = parseOptions(args, true, period, positional); !why.isEmpty())
        return BadArguments { why };
    if (!positional.isEmpty())
        return BadArguments { QStringLiteral("余分な引数です: ") + positional.first() };
    return period;
}

QString writeHistoryCsv(const QSqlDatabase &db, const HistoryArgs &args, QIODevice &out)
{
    const QueryResult<QList<HistoryRow>> rows = queryHistory(db, args.reg, args.period);
    if (!rows.ok())
        return rows.error;
    CsvWriter csv(out,
        { QStringLiteral("date"), QStringLiteral("venue_code"), QStringLiteral("venue"),
            QStringLiteral("race"), QStringLiteral("heading"), QStringLiteral("boat"),
            QStringLiteral("course"), QStringLiteral("placing"), QStringLiteral("rank"),
            QStringLiteral("start"), QStringLiteral("race_time"), QStringLiteral("technique") });
    for (const HistoryRow &r : *rows.value) {
        csv.writeRow({ r.date, QString::number(r.venueCode).rightJustified(2, u'0'),
            venueName(r.venueCode), QString::number(r.race), r.heading, r.boat,
            r.course ? QString::number(*r.course) : QString(), r.placing,
            r.rank ? QString::number(*r.rank) : QString(), r.start, r.raceTime, r.technique });
    }
    return csv.ok() ? QString() : out.errorString();
}

QString writeStatsCsv(const QSqlDatabase &db, const Period &period, QIODevice &out)
{
    const QueryResult<StatsReport> report = queryStats(db, period);
    if (!report.ok())
        return report.error;
    CsvWriter csv(out, statsCsvHeader());
    for (const CourseStats &row : report.value->courses)
        csv.writeRow(statsCsvFields(row));
    return csv.ok() ? QString() : out.errorString();
}

QString historyUsage()
{
    return QStringLiteral("rusena-library history REG [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
                          "  選手 (登録番号 REG) の全出走を CSV で標準出力に書きます。\n");
}

QString statsUsage()
{
    return QStringLiteral(
        "rusena-library stats [--venue CODE] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
        "  場とコース別の成績 (出走数、1～3 着、勝率、連対率、3 連対率、平均 ST) を CSV "
        "で書きます。\n");
}

namespace {

template <typename Parsed, typename Write>
int runCommand(const QStringList &args, const QString &usage,
    std::variant<Parsed, BadArguments> parsed, const OpenLibraryFn &open, QIODevice &out,
    QTextStream &err, Write write)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out.write(usage.toUtf8());
        return 0;
    }
    if (const auto *bad = std::get_if<BadArguments>(&parsed)) {
        err << bad->message << u'\n' << usage;
        err.flush();
        return 2;
    }
    QString why;
    const std::optional<QSqlDatabase> db = open(why);
    if (db)
        why = write(*db, std::get<Parsed>(parsed), out);
    if (why.isEmpty())
        return 0;
    err << why << u'\n';
    err.flush();
    return 1;
}

} // namespace

int runHistoryCommand(
    const QStringList &args, const OpenLibraryFn &open, QIODevice &out, QTextStream &err)
{
    return runCommand(args, historyUsage(), parseHistoryArgs(args), open, out, err,
        [](const QSqlDatabase &db, const HistoryArgs &a, QIODevice &o) {
            return writeHistoryCsv(db, a, o);
        });
}

int runStatsCommand(
    const QStringList &args, const OpenLibraryFn &open, QIODevice &out, QTextStream &err)
{
    return runCommand(args, statsUsage(), parseStatsArgs(args), open, out, err,
        [](const QSqlDatabase &db, const Period &p, QIODevice &o) {
            return writeStatsCsv(db, p, o);
        });
}

} // namespace rusena::library
