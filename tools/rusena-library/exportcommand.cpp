#include "commandparser.h"

#include "library/exporter.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

int runExport(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"ライブラリ全体を DIR に days.csv、races.csv、entries.csv、payouts.csv として、"
        "番組表を programme_days.csv、programmes.csv、programme_entries.csv として"
        "書き出します (BOM 付き UTF-8、CR LF。docs/library-export.md と "
        "docs/programme-export.md を参照)。"_s);
    parser.addPositionalArgument(u"DIR"_s, u"書き出すフォルダ。"_s);
    int status = 0;
    if (!parseCommand(parser, context, status, 1, 1))
        return status;
    const auto lib = openForReading(context, status);
    if (!lib)
        return status;
    const library::Status exported = library::exportLibrary(*lib, parser.positionalArguments()[0]);
    if (!exported.ok()) {
        context.err << exported.error << u'\n';
        return 1;
    }
    return 0;
}

} // namespace rusena::tool
