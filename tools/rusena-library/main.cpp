// rusena-library [--data-folder DIR] COMMAND ...: the race library from the command line,
// for scripted daily use. Each command is in a file of its own (see command.h).

#include "command.h"

#include "store/datafolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace rusena;
using namespace rusena::tool;

namespace {

QString commandList()
{
    QString text = QStringLiteral("Commands:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1  %2\n").arg(command.name, -8).arg(command.summary);
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rusena-library"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The race library: import, list, rebuild and export stored days.\n\n")
        + commandList());
    parser.addHelpOption();
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption folderOption(QStringLiteral("data-folder"),
        QStringLiteral("The data folder (default: the viewer's, %1).")
            .arg(DataFolder::standard().data),
        QStringLiteral("DIR"));
    parser.addOption(folderOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
        QStringLiteral("COMMAND ..."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        err << parser.helpText();
        return BadArguments;
    }
    for (const Command &command : commands()) {
        if (command.name != positional.constFirst())
            continue;
        const QString folder
            = parser.isSet(folderOption) ? parser.value(folderOption) : DataFolder::standard().data;
        CommandContext context { { QStringLiteral("rusena-library ") + command.name }, folder, out,
            err };
        context.arguments += positional.mid(1);
        return command.run(context);
    }
    err << QStringLiteral("Unknown command: %1\n\n").arg(positional.constFirst()) << commandList();
    return BadArguments;
}
