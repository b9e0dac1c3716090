#include "commandparser.h"

#include "library/importbatch.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

using library::DayImport;

QString resultWord(DayImport::Result result)
{
    switch (result) {
    case DayImport::Result::Added:
        return u"追加"_s;
    case DayImport::Result::Replaced:
        return u"置き換え"_s;
    case DayImport::Result::Unchanged:
        return u"登録済みと同じ"_s;
    case DayImport::Result::Ignored:
        return u"対象外"_s;
    case DayImport::Result::Failed:
        break;
    }
    return u"取り込めません"_s;
}

QString lineText(const library::ImportLine &line)
{
    QString text = line.source;
    if (!line.member.isEmpty())
        text += u" ("_s + line.member + u')';
    text += u": "_s + resultWord(line.outcome.result);
    if (line.outcome.date.isValid())
        text += u' ' + line.outcome.date.toString(Qt::ISODate);
    if (line.outcome.stored() && line.outcome.kind == library::DayKind::Programme)
        text += u" 番組表"_s;
    if (!line.outcome.reason.isEmpty())
        text += u" ("_s + line.outcome.reason + u')';
    return text;
}

} // namespace

int runImport(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"結果ファイル (名前が K か k で始まるもの)、番組表 (B か b で始まるもの) と LZH 書庫を"
        "ライブラリに取り込みます。フォルダはその中と下のそれらのファイルと書庫を指します。日のファ"
        "イルごとに一行書き、"
        "取り込めなかったものがあれば終了ステータスは 1 です。"_s);
    parser.addPositionalArgument(
        u"FILE|DIR"_s, u"取り込むファイルかフォルダ。"_s, u"FILE|DIR..."_s);
    int status = 0;
    if (!parseCommand(parser, context, status, 1, std::numeric_limits<qsizetype>::max()))
        return status;
    library::Library lib(context.dataFolder);
    QStringList strays;
    const QStringList sources = library::collectSources(parser.positionalArguments(), &strays);
    library::BatchReport report = library::importSources(lib, sources);
    for (const QString &stray : strays)
        report.lines.append(library::ignoredLine(stray));
    for (const library::ImportLine &line : report.lines)
        context.out << lineText(line) << u'\n';
    using library::DayKind;
    context.out << u"追加 %1、置き換え %2、登録済みと同じ %3、対象外 %4、取り込めず %5\n"_s
                       .arg(report.count(DayImport::Result::Added, DayKind::Result))
                       .arg(report.count(DayImport::Result::Replaced, DayKind::Result))
                       .arg(report.count(DayImport::Result::Unchanged, DayKind::Result))
                       .arg(report.count(DayImport::Result::Ignored))
                       .arg(report.count(DayImport::Result::Failed));
    // Programme days are counted apart.
    const int programmes[] = { report.count(DayImport::Result::Added, DayKind::Programme),
        report.count(DayImport::Result::Replaced, DayKind::Programme),
        report.count(DayImport::Result::Unchanged, DayKind::Programme) };
    if (programmes[0] + programmes[1] + programmes[2] > 0)
        context.out << u"番組表 %1 日を追加、置き換え %2、登録済みと同じ %3\n"_s.arg(programmes[0])
                           .arg(programmes[1])
                           .arg(programmes[2]);
    return report.count(DayImport::Result::Failed) > 0 ? 1 : 0;
}

} // namespace rusena::tool
