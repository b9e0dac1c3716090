#include "commandparser.h"

#include "library/period.h"
#include "store/resultlayout.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runVenues(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"場コード (stats --venue に渡すもの) と場名を一行にひとつずつ書きます。"_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    for (int code = 1; code <= layout::VenueCount; ++code)
        context.out << u"%1  %2\n"_s.arg(code, 2, 10, QChar(u'0')).arg(library::venueName(code));
    return 0;
}

} // namespace rusena::tool
