#include "fetchreport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace rusena::fetch {

namespace {

QString resultWord(FetchLine::Result result)
{
    switch (result) {
    case FetchLine::Result::Added:
        return u"追加"_s;
    case FetchLine::Result::Replaced:
        return u"置換"_s;
    case FetchLine::Result::Unchanged:
        return u"変更なし"_s;
    case FetchLine::Result::NotPublished:
        return u"未公開"_s;
    case FetchLine::Result::Failed:
        break;
    }
    return u"失敗"_s;
}

} // namespace

int FetchReport::count(FetchLine::Result result) const
{
    return int(std::count_if(
        lines.begin(), lines.end(), [&](const FetchLine &line) { return line.result == result; }));
}

QDate FetchReport::latestResultDay() const
{
    QDate latest;
    for (const FetchLine &line : lines) {
        const bool stored = line.result == FetchLine::Result::Added
            || line.result == FetchLine::Result::Replaced
            || line.result == FetchLine::Result::Unchanged;
        if (stored && line.slot.kind == Kind::Results
            && (!latest.isValid() || line.slot.date > latest))
            latest = line.slot.date;
    }
    return latest;
}

QString lineText(const FetchLine &line)
{
    QString text = line.slot.date.toString(Qt::ISODate) + u' ' + kindName(line.slot.kind) + u": "_s
        + resultWord(line.result);
    if (!line.reason.isEmpty())
        text += u"（"_s + line.reason + u"）"_s;
    return text;
}

QString summaryText(const FetchReport &report)
{
    using R = FetchLine::Result;
    QString text = u"追加 %1、置換 %2、変更なし %3、未公開 %4、失敗 %5、保存済み %6（要求 %7 回）"_s
                       .arg(report.count(R::Added))
                       .arg(report.count(R::Replaced))
                       .arg(report.count(R::Unchanged))
                       .arg(report.count(R::NotPublished))
                       .arg(report.count(R::Failed))
                       .arg(report.held)
                       .arg(report.requests);
    if (report.cancelled)
        text += u"、中止しました"_s;
    return text;
}

} // namespace rusena::fetch
