#include "commandparser.h"

#include "library/exporter.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runExport(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Writes days.csv, races.csv, entries.csv and payouts.csv of the whole library "
        "into DIR (UTF-8 with BOM, CR LF; see docs/library-export.md)."_s);
    parser.addPositionalArgument(u"DIR"_s, u"The folder to write into."_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    if (parser.positionalArguments().size() != 1) {
        context.err << "export: name one folder\n";
        return BadArguments;
    }
    library::Library lib(context.dataFolder);
    const library::Status exported = library::exportLibrary(lib, parser.positionalArguments()[0]);
    if (!exported.ok()) {
        context.err << exported.error << u'\n';
        return 1;
    }
    return 0;
}

const bool registered
    = registerCommand({ u"export"_s, u"Export the library as four CSV files."_s, &runExport });

} // namespace

} // namespace rusena::tool
