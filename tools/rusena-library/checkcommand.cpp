#include "commandparser.h"

#include "library/library.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runCheck(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"索引全体と登録済みの日のファイルをすべて読み、食い違いを一行ずつ書いて直します"
        "(索引は必要なら日のファイルから作り直します)。検査か修復ができなければ終了"
        "ステータスは 1 です。"_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    library::Library lib(context.dataFolder);
    if (!lib.exists()) {
        context.err << u"ライブラリがありません: "_s << context.dataFolder << u'\n';
        return 1;
    }
    const library::CheckReport report = lib.check();
    for (const QString &finding : report.findings)
        context.out << finding << u'\n';
    if (!report.status.ok()) {
        context.err << report.status.error << u'\n';
        return 1;
    }
    context.out << (report.findings.isEmpty() ? u"異常はありません\n"_s : u"直しました\n"_s);
    return 0;
}

} // namespace rusena::tool
