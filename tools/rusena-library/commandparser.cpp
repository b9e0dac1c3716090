#include "commandparser.h"

#include "library/library.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace rusena::tool {

QString helpText(const QCommandLineParser &parser, const QString &program)
{
    QString text = parser.helpText();
    const QString started = QCoreApplication::arguments().value(0);
    const qsizetype lineEnd = text.indexOf(u'\n');
    const qsizetype at = started.isEmpty() ? -1 : text.indexOf(started);
    if (at >= 0 && at < lineEnd)
        text.replace(at, started.size(), program);
    return text;
}

bool parseCommand(QCommandLineParser &parser, CommandContext &context, int &status, qsizetype least,
    qsizetype most)
{
    const QCommandLineOption help({ u"h"_s, u"help"_s }, u"このヘルプを表示します。"_s);
    parser.addOption(help);
    status = BadArguments;
    if (!parser.parse(context.arguments)) {
        context.err << parser.errorText() << u'\n';
        return false;
    }
    if (parser.isSet(help)) {
        context.out << helpText(parser, context.arguments.constFirst());
        status = 0;
        return false;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > most) {
        context.err << u"余分な引数です: "_s << positional.at(most) << u'\n';
        return false;
    }
    if (positional.size() < least) {
        context.err << u"引数が足りません。"_s << u'\n'
                    << helpText(parser, context.arguments.constFirst());
        return false;
    }
    return true;
}

bool readDate(const QString &text, QDate &date, QTextStream &err)
{
    static const QRegularExpression shape(u"^[0-9]{4}-[0-9]{2}-[0-9]{2}$"_s);
    if (!shape.match(text).hasMatch()) {
        err << u"日付は YYYY-MM-DD で指定してください: "_s << text << u'\n';
        return false;
    }
    date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) {
        err << u"その日付はありません: "_s << text << u'\n';
        return false;
    }
    return true;
}

bool singleValue(const QCommandLineParser &parser, const QString &option, CommandContext &context,
    QString &value)
{
    const QStringList values = parser.values(option);
    if (values.size() > 1) {
        context.err << u"--"_s << option << u" が二度指定されています。\n"_s;
        return false;
    }
    value = values.isEmpty() ? QString() : values.constFirst();
    return true;
}

std::unique_ptr<library::Library> openForReading(CommandContext &context, int &status)
{
    auto lib = std::make_unique<library::Library>(context.dataFolder);
    status = 1;
    if (!lib->exists()) {
        context.err << u"ライブラリがありません: "_s << context.dataFolder
                    << u"\n(import で日を取り込むとライブラリができます)\n"_s;
        return nullptr;
    }
    const library::Status opened = lib->open();
    if (!opened.ok()) {
        context.err << opened.error << u'\n';
        return nullptr;
    }
    status = 0;
    return lib;
}

} // namespace rusena::tool
