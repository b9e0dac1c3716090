#include "commandparser.h"

#include "library/importbatch.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

using library::DayImport;

QString resultWord(DayImport::Result result)
{
    switch (result) {
    case DayImport::Result::Added:
        return u"added"_s;
    case DayImport::Result::Replaced:
        return u"replaced"_s;
    case DayImport::Result::Unchanged:
    case DayImport::Result::Failed:
        break;
    }
    return u"skipped"_s;
}

QString lineText(const library::ImportLine &line)
{
    QString text = line.source;
    if (!line.member.isEmpty())
        text += u" ("_s + line.member + u')';
    text += u": "_s + resultWord(line.outcome.result);
    if (line.outcome.date.isValid())
        text += u' ' + line.outcome.date.toString(Qt::ISODate);
    if (!line.outcome.reason.isEmpty())
        text += u" ("_s + line.outcome.reason + u')';
    return text;
}

int runImport(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Files result text files (name beginning with K or k) and LZH archives into the "
        "library. A folder means the K files and archives in it and below it. One line a "
        "day file; exit status 1 if any could not be filed."_s);
    parser.addPositionalArgument(u"FILE|DIR"_s, u"Files or folders to import."_s, u"FILE|DIR..."_s);
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    if (parser.positionalArguments().isEmpty()) {
        context.err << "import: name at least one file or folder\n";
        return BadArguments;
    }
    library::Library lib(context.dataFolder);
    const QStringList sources = library::collectSources(parser.positionalArguments());
    const library::BatchReport report = library::importSources(lib, sources);
    for (const library::ImportLine &line : report.lines)
        context.out << lineText(line) << u'\n';
    context.out << u"added %1, replaced %2, unchanged %3, failed %4\n"_s
                       .arg(report.count(DayImport::Result::Added))
                       .arg(report.count(DayImport::Result::Replaced))
                       .arg(report.count(DayImport::Result::Unchanged))
                       .arg(report.count(DayImport::Result::Failed));
    return report.count(DayImport::Result::Failed) > 0 ? 1 : 0;
}

const bool registered = registerCommand({ u"import"_s,
    u"Import result text files and LZH archives (files or folders)."_s, &runImport });

} // namespace

} // namespace rusena::tool
