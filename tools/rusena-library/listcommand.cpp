#include "commandparser.h"

#include "library/library.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runList(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Lists the stored days, newest first: date, venues, races, the file it came from."_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    library::Library lib(context.dataFolder);
    const library::Status opened = lib.open();
    if (!opened.ok()) {
        context.err << opened.error << u'\n';
        return 1;
    }
    for (const library::StoredDay &day : lib.storedDays())
        context.out << u"%1  %2 venues  %3 races  %4\n"_s.arg(day.date.toString(Qt::ISODate))
                           .arg(day.venues, 2)
                           .arg(day.races, 3)
                           .arg(day.file);
    return 0;
}

const bool registered = registerCommand({ u"list"_s, u"List the stored days."_s, &runList });

} // namespace

} // namespace rusena::tool
