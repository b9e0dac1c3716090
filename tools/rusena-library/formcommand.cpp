#include "commandparser.h"

#include "library/csvwriter.h"
#include "library/formquery.h"
#include "library/library.h"

#include <QIODevice>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

struct FormArgs final {
    QDate date;
    int venue = 0;
    int race = 0;
    library::StartWindow last;
};

// A number of one to `digits` half-width digits within min..max, else 0.
int boundedNumber(const QString &text, int digits, int min, int max)
{
    static const QRegularExpression number(u"^[0-9]+$"_s);
    if (text.size() > digits || !number.match(text).hasMatch())
        return 0;
    const int value = text.toInt();
    return value >= min && value <= max ? value : 0;
}

// The complaint for standard error, or "" when the arguments are good.
QString readArgs(const QCommandLineParser &parser, const QString &venue, const QString &race,
    const QString &last, FormArgs &args)
{
    const QString date = parser.positionalArguments().value(0);
    static const QRegularExpression shape(u"^[0-9]{4}-[0-9]{2}-[0-9]{2}$"_s);
    args.date = QDate::fromString(date, Qt::ISODate);
    if (!shape.match(date).hasMatch())
        return u"日付は YYYY-MM-DD で指定してください: "_s + date;
    if (!args.date.isValid())
        return u"その日付はありません: "_s + date;
    if (venue.isNull() || race.isNull())
        return u"--venue と --race を指定してください"_s;
    args.venue = boundedNumber(venue, 2, 1, 24);
    if (args.venue == 0)
        return u"場コードは 1 から 24 の数字です: "_s + venue;
    args.race = boundedNumber(race, 2, 1, 12);
    if (args.race == 0)
        return u"レース番号は 1 から 12 の数字です: "_s + race;
    if (!last.isNull()) {
        const int k = boundedNumber(last, 4, 1, library::MaxStartWindow);
        if (k == 0)
            return u"--last は 1 から %1 の数字です: "_s.arg(library::MaxStartWindow) + last;
        args.last = k;
    }
    return {};
}

int writeForm(CommandContext &context, const FormArgs &args)
{
    int status = 0;
    const auto lib = openForReading(context, status);
    if (!lib)
        return status;
    const auto found
        = library::queryProgrammeRace(lib->database(), args.date, args.venue, args.race, args.last);
    if (!found.ok()) {
        context.err << found.error << u'\n';
        return 1;
    }
    if (!*found.value) {
        context.err << u"%1 の場コード %2 の %3R の番組表はライブラリにありません\n"_s
                           .arg(args.date.toString(Qt::ISODate))
                           .arg(args.venue)
                           .arg(args.race);
        return 1;
    }
    const library::ProgrammeRaceForm &race = **found.value;
    context.out.flush();
    library::CsvWriter writer(*context.out.device(), library::formCsvHeader());
    for (qsizetype i = 0; i < race.entrants.size(); ++i)
        writer.writeRow(library::formCsvFields(race.entrants[i], race.forms[i]));
    if (!writer.flush()) {
        context.err << context.out.device()->errorString() << u'\n';
        return 1;
    }
    return 0;
}

} // namespace

int runForm(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"番組表の 1 レースについて、各選手のその日より前の成績を CSV で書きます"
        " (docs/programme-export.md)。"_s);
    parser.addPositionalArgument(u"DATE"_s, u"番組表の日付 (YYYY-MM-DD)"_s);
    const QString venue = u"venue"_s, race = u"race"_s, last = u"last"_s;
    parser.addOption({ venue, u"場コード (1～24)"_s, u"CODE"_s });
    parser.addOption({ race, u"レース番号 (1～12)"_s, u"N"_s });
    parser.addOption({ last, u"直近 K 走だけを数える (1～1000)"_s, u"K"_s });
    int status = 0;
    if (!parseCommand(parser, context, status, 1, 1))
        return status;
    QString venueText, raceText, lastText;
    if (!singleValue(parser, venue, context, venueText)
        || !singleValue(parser, race, context, raceText)
        || !singleValue(parser, last, context, lastText))
        return BadArguments;
    FormArgs args;
    if (const QString why = readArgs(parser, venueText, raceText, lastText, args); !why.isEmpty()) {
        context.err << why << u'\n';
        return BadArguments;
    }
    return writeForm(context, args);
}

} // namespace rusena::tool
