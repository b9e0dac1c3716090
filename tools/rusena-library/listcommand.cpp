#include "commandparser.h"

#include "library/importbatch.h"
#include "library/library.h"

#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runList(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"登録済みの日を新しい順に一覧します: 日付、場数、レース数、元のファイル、"
        u"その日にあるもの (成績、番組表、成績+番組表)。"_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    const auto lib = openForReading(context, status);
    if (!lib)
        return status;
    // A date may hold a result, a programme or both: one line a date, saying which, with
    // the result's figures where there is one.
    std::map<QDate, std::pair<std::optional<library::StoredDay>, std::optional<library::StoredDay>>>
        dates;
    for (const library::StoredDay &day : lib->storedDays())
        dates[day.date].first = day;
    for (const library::StoredDay &day : lib->storedProgrammeDays())
        dates[day.date].second = day;
    for (auto it = dates.crbegin(); it != dates.crend(); ++it) {
        const auto &[result, programme] = it->second;
        const library::StoredDay &day = result ? *result : *programme;
        const QString kind = result && programme ? u"成績+番組表"_s
            : result                             ? u"成績"_s
                                                 : u"番組表"_s;
        context.out << u"%1  %2 場  %3 レース  %4  %5\n"_s.arg(day.date.toString(Qt::ISODate))
                           .arg(day.venues, 2)
                           .arg(day.races, 3)
                           .arg(library::escapeControls(day.file), kind);
    }
    return 0;
}

} // namespace rusena::tool
