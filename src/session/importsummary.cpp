#include "importsummary.h"

#include <QFileInfo>

namespace rusena {

namespace {

using library::DayImport;

// Reasons beyond this many are counted, not listed: a message box has to fit a screen.
constexpr int MaxListedReasons = 10;

QString lineName(const library::ImportLine &line)
{
    const QString file = QFileInfo(line.source).fileName();
    return line.member.isEmpty() ? file : file + QStringLiteral(" (") + line.member + u')';
}

QStringList skippedLines(const library::BatchReport &report)
{
    QStringList lines;
    int more = 0;
    for (const library::ImportLine &line : report.lines) {
        if (line.outcome.result != DayImport::Result::Failed)
            continue;
        if (lines.size() < MaxListedReasons)
            lines.append(lineName(line) + QStringLiteral("：") + line.outcome.reason);
        else
            ++more;
    }
    if (more > 0)
        lines.append(QStringLiteral("ほか %1 件").arg(more));
    return lines;
}

QStringList replacedLines(const library::BatchReport &report)
{
    QStringList dates;
    for (const library::ImportLine &line : report.lines) {
        if (line.outcome.result == DayImport::Result::Replaced)
            dates.append(line.outcome.date.toString(QStringLiteral("yyyy/MM/dd"))
                + (line.outcome.kind == library::DayKind::Programme ? QStringLiteral("（番組表）")
                                                                    : QString()));
    }
    if (dates.isEmpty())
        return {};
    return { QStringLiteral("置き換えた日：") + dates.join(QStringLiteral("、")) };
}

} // namespace

Message importSummaryMessage(const library::BatchReport &report)
{
    using library::DayKind;
    const int added = report.count(DayImport::Result::Added, DayKind::Result);
    const int replaced = report.count(DayImport::Result::Replaced, DayKind::Result);
    const int unchanged = report.count(DayImport::Result::Unchanged, DayKind::Result);
    const int failed = report.count(DayImport::Result::Failed);
    const int programmesAdded = report.count(DayImport::Result::Added, DayKind::Programme);
    const int programmesReplaced = report.count(DayImport::Result::Replaced, DayKind::Programme);
    const int programmesUnchanged = report.count(DayImport::Result::Unchanged, DayKind::Programme);
    QStringList text;
    if (report.cancelled)
        text.append(QStringLiteral("取り込みを中止しました。%1 日分は取り込み済みです。")
                        .arg(added + replaced + unchanged + programmesAdded + programmesReplaced
                            + programmesUnchanged));
    text.append(QStringLiteral(
        "追加 %1 日、置き換え %2 日、登録済みと同じ %3 日、取り込めなかったもの %4 件")
                    .arg(added)
                    .arg(replaced)
                    .arg(unchanged)
                    .arg(failed));
    // Programme days are counted apart: they are not days to show.
    if (programmesAdded + programmesReplaced + programmesUnchanged > 0)
        text.append(QStringLiteral("番組表 %1 日を追加、置き換え %2 日、登録済みと同じ %3 日")
                        .arg(programmesAdded)
                        .arg(programmesReplaced)
                        .arg(programmesUnchanged));
    text += replacedLines(report);
    text += skippedLines(report);
    return { QStringLiteral("取り込み結果"), text.join(u'\n'),
        failed > 0 || report.cancelled ? MessageIcon::Warning : MessageIcon::Information,
        MessageButtons::Ok };
}

Message libraryErrorMessage(const QString &reason)
{
    return { QStringLiteral("ライブラリエラー"), reason, MessageIcon::Warning, MessageButtons::Ok };
}

QString emptyLibraryHint()
{
    return QStringLiteral("ライブラリにはまだ日がありません。ファイル > 最新データを取得 で"
                          "主催者から取得するか、ファイル > 開く か ファイル > フォルダから"
                          "取り込む で結果ファイルを取り込んで下さい。");
}

Message notFiledMessage(const QString &reason)
{
    return libraryErrorMessage(
        QStringLiteral("この日を表示しましたが、ライブラリに登録できませんでした。\n") + reason);
}

} // namespace rusena
