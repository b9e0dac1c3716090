#pragma once

// What a fetch asks the organiser for: the archives of a period, a result and a programme
// archive a date, at the organiser's fixed addresses below a source address.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

namespace rusena::fetch {

/// The organiser's own address; a mirror or a test server replaces it.
inline constexpr char16_t DefaultSource[] = u"http://www1.mbrace.or.jp/od2";

/// The two kinds of archive a racing day has: results (K) and the programme (B).
enum class Kind { Results, Programmes };

/// The kind's name in the lines the user reads.
QString kindName(Kind kind);

/// `SOURCE/K/YYYYMM/kYYMMDD.lzh` or `SOURCE/B/YYYYMM/bYYMMDD.lzh`.
QUrl archiveUrl(const QUrl &source, Kind kind, const QDate &date);
/// The archive's file name, `kYYMMDD.lzh` or `bYYMMDD.lzh`.
QString archiveName(Kind kind, const QDate &date);

/// The date in Japan, which keeps UTC+9 all year (no summer time).
QDate japanToday(const QDateTime &now = QDateTime::currentDateTimeUtc());

/// Milliseconds to wait between two requests to `source`: the interval asked for, never
/// below zero, and never below a second for the organiser's own host.
int requestIntervalMs(const QUrl &source, double requestedSeconds);

/// A source address the fetch can use: absolute http or https with a host.
bool isUsableSource(const QUrl &source);

/// One archive to ask for.
struct Slot final {
    QDate date;
    Kind kind = Kind::Results;

    friend bool operator==(const Slot &, const Slot &) = default;
};

/// Every date of [from, to] for each kind asked, in date order, results before the
/// programme of the same date.
QList<Slot> slotsOf(const QDate &from, const QDate &to, bool results, bool programmes);

/// Periods longer than this need a confirmation: a fan starting out takes a year.
inline constexpr qint64 ConfirmDays = 366;
/// The days from the first slot's date to the last one's, both counted.
qint64 spanDays(const QList<Slot> &slots);

/// "約 25 分" for `requests` requests at `intervalMs` apart (the downloads themselves are
/// quick next to the waits).
QString durationText(qint64 requests, int intervalMs);

} // namespace rusena::fetch
