#include "commandparser.h"

#include "library/library.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runRebuild(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"登録済みの日のファイルから索引を作り直します。一日ごとに一行書きます。"_s);
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

} // namespace rusena::tool
