#include "commandparser.h"

namespace rusena::tool {

bool parseCommand(QCommandLineParser &parser, CommandContext &context, int &status)
{
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Shows this help."));
    parser.addOption(help);
    if (!parser.parse(context.arguments)) {
        context.err << parser.errorText() << u'\n';
        status = BadArguments;
        return false;
    }
    if (parser.isSet(help)) {
        context.out << parser.helpText();
        status = 0;
        return false;
    }
    return true;
}

} // namespace rusena::tool
