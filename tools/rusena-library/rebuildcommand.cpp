#include "commandparser.h"

#include "library/library.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runRebuild(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Makes the library's index anew from the stored day files, a line a day."_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    library::Library lib(context.dataFolder);
    const library::Status rebuilt = lib.rebuild([&](int done, int total, const QDate &date) {
        context.out << u"%1/%2 %3\n"_s.arg(done).arg(total).arg(date.toString(Qt::ISODate));
        context.out.flush();
    });
    if (!rebuilt.ok()) {
        context.err << rebuilt.error << u'\n';
        return 1;
    }
    return 0;
}

const bool registered = registerCommand(
    { u"rebuild"_s, u"Rebuild the index from the stored day files."_s, &runRebuild });

} // namespace

} // namespace rusena::tool
