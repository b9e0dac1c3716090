#include "command.h"
#include "commandparser.h"

#include "store/datafolder.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

QString commandList()
{
    QString text = u"コマンド:\n"_s;
    for (const Command &command : commands())
        text += u"  %1  %2\n"_s.arg(command.name, -8).arg(command.summary);
    return text;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

} // namespace

int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"競走ライブラリ: 日の取り込み、一覧、作り直し、書き出しと検索。\n\n"_s + commandList());
    const QCommandLineOption help({ u"h"_s, u"help"_s }, u"このヘルプを表示します。"_s);
    const QCommandLineOption version({ u"v"_s, u"version"_s }, u"版を表示します。"_s);
    const QCommandLineOption folderOption(u"data-folder"_s,
        u"データフォルダ (省略時はビューアと同じ %1)。"_s.arg(DataFolder::standard().data),
        u"DIR"_s);
    parser.addOptions({ help, version, folderOption });
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addPositionalArgument(u"command"_s, u"実行するコマンド。"_s, u"COMMAND ..."_s);
    if (!parser.parse(arguments)) {
        err << parser.errorText() << u'\n';
        return BadArguments;
    }
    if (parser.isSet(help)) {
        out << helpText(parser, u"rusena-library"_s);
        return 0;
    }
    if (parser.isSet(version)) {
        out << u"rusena-library "_s << QStringLiteral(RUSENA_VERSION) << u'\n';
        return 0;
    }
    const QStringList folders = parser.values(folderOption);
    if (folders.size() > 1) {
        err << u"--data-folder が二度指定されています。\n"_s;
        return BadArguments;
    }
    if (!folders.isEmpty() && folders.constFirst().isEmpty()) {
        err << u"--data-folder の値が空です。\n"_s;
        return BadArguments;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        err << helpText(parser, u"rusena-library"_s);
        return BadArguments;
    }
    const Command *command = findCommand(positional.constFirst());
    if (command == nullptr) {
        err << u"そのようなコマンドはありません: %1\n\n"_s.arg(positional.constFirst())
            << commandList();
        return BadArguments;
    }
    const QString folder = folders.isEmpty() ? DataFolder::standard().data : folders.constFirst();
    CommandContext context { { u"rusena-library "_s + command->name }, folder, out, err };
    context.arguments += positional.mid(1);
    return command->run(context);
}

} // namespace rusena::tool
