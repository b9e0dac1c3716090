#include "commandparser.h"

#include "library/importbatch.h"
#include "library/library.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runList(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"登録済みの日を新しい順に一覧します: 日付、場数、レース数、元のファイル。"_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    const auto lib = openForReading(context, status);
    if (!lib)
        return status;
    for (const library::StoredDay &day : lib->storedDays())
        context.out << u"%1  %2 場  %3 レース  %4\n"_s.arg(day.date.toString(Qt::ISODate))
                           .arg(day.venues, 2)
                           .arg(day.races, 3)
                           .arg(library::escapeControls(day.file));
    return 0;
}

} // namespace rusena::tool
