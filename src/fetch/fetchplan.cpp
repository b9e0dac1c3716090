#include "fetchplan.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace rusena::fetch {

namespace {

// Hosts of the organiser: asked at most once a second whatever the option says.
bool isOrganiserHost(QString host)
{
    if (host.endsWith(u'.'))
        host.chop(1);
    return host == u"mbrace.or.jp" || host.endsWith(u".mbrace.or.jp");
}

} // namespace

QString kindName(Kind kind)
{
    return kind == Kind::Results ? u"競走成績"_s : u"番組表"_s;
}

QString archiveName(Kind kind, const QDate &date)
{
    return (kind == Kind::Results ? u"k"_s : u"b"_s) + date.toString(u"yyMMdd"_s) + u".lzh"_s;
}

QUrl archiveUrl(const QUrl &source, Kind kind, const QDate &date)
{
    QString base = source.toString(QUrl::StripTrailingSlash);
    base += (kind == Kind::Results ? u"/K/"_s : u"/B/"_s) + date.toString(u"yyyyMM"_s) + u'/'
        + archiveName(kind, date);
    return QUrl(base);
}

QDate japanToday(const QDateTime &now)
{
    return now.toUTC().addSecs(9 * 3600).date();
}

int requestIntervalMs(const QUrl &source, double requestedSeconds)
{
    int ms = requestedSeconds > 0 ? int(std::min(requestedSeconds, 86400.0) * 1000 + 0.5) : 0;
    if (isOrganiserHost(source.host()))
        ms = std::max(ms, 1000);
    return ms;
}

bool isUsableSource(const QUrl &source)
{
    return source.isValid() && !source.host().isEmpty()
        && (source.scheme() == u"http" || source.scheme() == u"https");
}

QList<Slot> slotsOf(const QDate &from, const QDate &to, bool results, bool programmes)
{
    QList<Slot> out;
    for (QDate date = from; date.isValid() && date <= to; date = date.addDays(1)) {
        if (results)
            out.append({ date, Kind::Results });
        if (programmes)
            out.append({ date, Kind::Programmes });
    }
    return out;
}

qint64 spanDays(const QList<Slot> &slots)
{
    if (slots.isEmpty())
        return 0;
    return slots.constFirst().date.daysTo(slots.constLast().date) + 1;
}

QString durationText(qint64 requests, int intervalMs)
{
    const qint64 seconds = requests * intervalMs / 1000;
    if (seconds < 60)
        return u"約 %1 秒"_s.arg(seconds);
    if (seconds < 3600)
        return u"約 %1 分"_s.arg((seconds + 30) / 60);
    return u"約 %1 時間 %2 分"_s.arg(seconds / 3600).arg((seconds % 3600 + 30) / 60);
}

} // namespace rusena::fetch
