#include "commandparser.h"

#include "fetch/fetcher.h"
#include "fetch/heldday.h"
#include "library/library.h"

#include <QEventLoop>

#include <optional>

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

using fetch::FetchOptions;

struct Options final {
    QCommandLineOption from { u"from"_s, u"最初の日（YYYY-MM-DD）。"_s, u"D"_s };
    QCommandLineOption to { u"to"_s, u"最後の日（YYYY-MM-DD）。"_s, u"D"_s };
    QCommandLineOption resultsOnly { u"results-only"_s, u"競走成績だけを取得します。"_s };
    QCommandLineOption programmesOnly { u"programmes-only"_s, u"番組表だけを取得します。"_s };
    QCommandLineOption refresh { u"refresh"_s, u"保存済みの日も取得し直します。"_s };
    QCommandLineOption source { u"source"_s,
        u"取得元（既定: %1）。"_s.arg(QString::fromUtf16(fetch::DefaultSource)), u"URL"_s };
    QCommandLineOption interval { u"interval"_s, u"要求の間隔の秒数（既定: 2）。"_s, u"SECONDS"_s,
        u"2"_s };
    QCommandLineOption timeout { u"timeout"_s, u"データが届かないまま待つ秒数（既定: 30）。"_s,
        u"SECONDS"_s, u"30"_s };
    QCommandLineOption yes { u"yes"_s, u"366 日を超える期間も確認なしで取得します。"_s };
};

// The options checked and turned into what the fetch needs; false (the complaint written)
// when they cannot be used.
bool readOptions(const QCommandLineParser &parser, const Options &o, CommandContext &context,
    FetchOptions &options, std::optional<QDate> &from, std::optional<QDate> &to)
{
    QTextStream &err = context.err;
    if (parser.isSet(o.resultsOnly) && parser.isSet(o.programmesOnly)) {
        err << u"--results-only と --programmes-only は同時に指定できません。\n"_s;
        return false;
    }
    QString fromText, toText, source, interval, timeout;
    if (!singleValue(parser, o.from.names().constFirst(), context, fromText)
        || !singleValue(parser, o.to.names().constFirst(), context, toText)
        || !singleValue(parser, o.source.names().constFirst(), context, source)
        || !singleValue(parser, o.interval.names().constFirst(), context, interval)
        || !singleValue(parser, o.timeout.names().constFirst(), context, timeout))
        return false;
    for (const auto &[text, day] : { std::pair { &fromText, &from }, std::pair { &toText, &to } }) {
        QDate date;
        if (text->isNull())
            continue;
        if (!readDate(*text, date, err))
            return false;
        *day = date;
    }
    if (from && to && *from > *to) {
        err << u"--from が --to より後です。\n"_s;
        return false;
    }
    if (!source.isNull()) {
        options.source = QUrl(source, QUrl::StrictMode);
        if (!fetch::isUsableSource(options.source)) {
            err << u"--source は http:// か https:// で始まるアドレスです: "_s << source << u'\n';
            return false;
        }
    }
    bool ok = false;
    options.intervalSeconds = interval.isNull() ? 2 : interval.toDouble(&ok);
    if ((!interval.isNull() && !ok) || options.intervalSeconds < 0) {
        err << u"--interval は 0 以上の秒数です: "_s << interval << u'\n';
        return false;
    }
    options.timeoutSeconds = timeout.isNull() ? 30 : timeout.toInt(&ok);
    if ((!timeout.isNull() && !ok) || options.timeoutSeconds < 1 || options.timeoutSeconds > 3600) {
        err << u"--timeout は 1 から 3600 までの秒数です: "_s << timeout << u'\n';
        return false;
    }
    options.refresh = parser.isSet(o.refresh);
    return true;
}

} // namespace

int runFetch(CommandContext &context)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"主催者のサイトから競走成績と番組表の書庫を取得し、ライブラリに取り込みます。"
        "既定の期間は、保存済みの最新の日の翌日から今日（番組表は明日）まで"
        "（日本時間）、ライブラリが空なら今日までの 30 日です。"
        "1 日 1 種類ごとに 1 行、最後に集計。失敗した日があれば終了状態 1。"_s);
    const Options o;
    parser.addOptions({ o.from, o.to, o.resultsOnly, o.programmesOnly, o.refresh, o.source,
        o.interval, o.timeout, o.yes });
    int status = 0;
    if (!parseCommand(parser, context, status))
        return status;
    FetchOptions options;
    std::optional<QDate> from, to;
    if (!readOptions(parser, o, context, options, from, to))
        return BadArguments;
    {
        // Fetching makes a library where there is none, as an import does.
        library::Library lib(context.dataFolder);
        if (const library::Status opened = lib.open(); !opened.ok()) {
            context.err << opened.error << u'\n';
            return 1;
        }
        options.slots = fetch::HeldDays(lib).plan(from, to, !parser.isSet(o.programmesOnly),
            !parser.isSet(o.resultsOnly), fetch::japanToday());
    }
    const int intervalMs = fetch::requestIntervalMs(options.source, options.intervalSeconds);
    const qint64 span = fetch::spanDays(options.slots);
    if (span > fetch::ConfirmDays && !parser.isSet(o.yes)) {
        context.err << u"%1 日、%2 件の要求で、間隔 %3 秒なら%4かかります。"
                       "よろしければ --yes を付けて下さい。\n"_s.arg(span)
                           .arg(options.slots.size())
                           .arg(intervalMs / 1000.0)
                           .arg(fetch::durationText(options.slots.size(), intervalMs));
        return BadArguments;
    }
    if (options.slots.isEmpty()) {
        context.out << u"取得する日はありません（ライブラリは最新です）\n"_s;
        return 0;
    }

    fetch::Fetcher fetcher(context.dataFolder, options);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&fetcher, &fetch::Fetcher::lineAdded, &loop,
        [&](const fetch::FetchLine &line) { context.out << fetch::lineText(line) << Qt::endl; });
    QObject::connect(&fetcher, &fetch::Fetcher::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    fetcher.start();
    if (!finished)
        loop.exec();
    const fetch::FetchReport &report = fetcher.report();
    if (!report.error.isEmpty()) {
        context.err << report.error << u'\n';
        return 1;
    }
    context.out << fetch::summaryText(report) << u'\n';
    return report.failed() ? 1 : 0;
}

} // namespace rusena::tool
