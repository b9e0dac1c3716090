#include "programmelayout.h"

#include "resultlayout.h"

namespace rusena::programmelayout {

namespace {

using layout::isAsciiDigit;
using layout::isBlank;
using layout::trimBlanks;

constexpr QChar FullWidthZero = QChar(0xFF10);
constexpr QChar FullWidthBlank = QChar(0x3000);
constexpr QChar RaceMark = QChar(0xFF32); // Ｒ
constexpr QChar DistanceMark = QChar(0xFF28); // Ｈ
constexpr QChar MetreMark = QChar(0xFF4D); // ｍ
constexpr QStringView DeadlineWords = u"電話投票締切予定";

bool isWideDigit(QChar c)
{
    return c >= FullWidthZero && c <= QChar(0xFF19);
}

bool hasTagAt(QStringView line, QStringView tag)
{
    return line.size() >= 2 + tag.size() && line.sliced(2, tag.size()) == tag;
}

// Characters pos..pos+length-1 (from 1), fewer where the line ends sooner.
QStringView columns(QStringView line, int pos, int length)
{
    if (pos > line.size())
        return {};
    return line.sliced(pos - 1).left(length);
}

QStringView field(QStringView line, int pos, int length)
{
    return trimBlanks(columns(line, pos, length));
}

qsizetype wideDigitsEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && isWideDigit(text[from]))
        ++from;
    return from;
}

// "Ｈ<digits>ｍ" from `from` on: where the Ｈ stands, -1 when the line carries none.
qsizetype distanceStart(QStringView line, qsizetype from, qsizetype &digitsEnd)
{
    for (qsizetype h = line.indexOf(DistanceMark, from); h >= 0;
         h = line.indexOf(DistanceMark, h + 1)) {
        digitsEnd = wideDigitsEnd(line, h + 1);
        if (digitsEnd > h + 1 && digitsEnd < line.size() && line[digitsEnd] == MetreMark)
            return h;
    }
    return -1;
}

// "２０２０年　１月　１日" at `at`: four digits, then month and day of one or two digits,
// a single digit written after a full-width blank.
bool readWideNumber(QStringView text, qsizetype &at, QChar unit, int &value)
{
    if (at < text.size() && text[at] == FullWidthBlank)
        ++at;
    const qsizetype end = wideDigitsEnd(text, at);
    if (end == at || end >= text.size() || text[end] != unit)
        return false;
    value = halfWidth(text.sliced(at, end - at)).toInt();
    at = end + 1;
    return true;
}

QDate readWideDate(QStringView text, qsizetype yearAt)
{
    int year = 0, month = 0, day = 0;
    qsizetype at = yearAt;
    if (wideDigitsEnd(text, at) != at + 4 || !readWideNumber(text, at, u'年', year)
        || !readWideNumber(text, at, u'月', month) || !readWideNumber(text, at, u'日', day))
        return {};
    return QDate(year, month, day);
}

// Where a full date starts in the line, -1 where it holds none.
qsizetype dateStart(QStringView line, QDate &date)
{
    for (qsizetype y = line.indexOf(u'年'); y >= 4; y = line.indexOf(u'年', y + 1)) {
        date = readWideDate(line, y - 4);
        if (date.isValid())
            return y - 4;
    }
    return -1;
}

QString meetingDay(QStringView text)
{
    if (text == u"初日")
        return QStringLiteral("1");
    if (text.startsWith(u'第') && text.endsWith(u'日')) {
        const QStringView number = trimBlanks(text.sliced(1).chopped(1));
        if (!number.isEmpty() && wideDigitsEnd(number, 0) == number.size())
            return QString::number(halfWidth(number).toInt());
    }
    return text.toString();
}

} // namespace

bool isSectionBegin(QStringView line)
{
    return hasTagAt(line, SectionBeginTag);
}

bool isSectionEnd(QStringView line)
{
    return hasTagAt(line, SectionEndTag);
}

int raceNumberOfLabel(QStringView line)
{
    // One digit after a full-width blank, or two from the line's start.
    if (line.size() < 3 || line[2] != RaceMark)
        return 0;
    if (!isWideDigit(line[1]) || (line[0] != FullWidthBlank && !isWideDigit(line[0])))
        return 0;
    const int race = halfWidth(trimBlanks(line.first(2))).toInt();
    return race >= 1 && race <= layout::RaceCount ? race : 0;
}

ProgrammeLabel readLabel(QStringView line)
{
    ProgrammeLabel label;
    label.race = raceNumberOfLabel(line);
    qsizetype digitsEnd = 0;
    const qsizetype h = distanceStart(line, 3, digitsEnd);
    QStringView name = line.sliced(3, (h >= 0 ? h : line.size()) - 3);
    label.fixedEntry = layout::cutFixedEntryFlag(name);
    label.name = name;
    if (h >= 0)
        label.distance = halfWidth(line.sliced(h + 1, digitsEnd - h - 1));
    const qsizetype words = line.indexOf(DeadlineWords);
    if (words >= 0) {
        const QStringView time = line.sliced(words + DeadlineWords.size()).left(5);
        if (time.size() == 5 && isWideDigit(time[0]) && isWideDigit(time[1])
            && time[2] == QChar(0xFF1A) && isWideDigit(time[3]) && isWideDigit(time[4]))
            label.deadline = halfWidth(time);
    }
    return label;
}

MeetingDate readDateLine(QStringView line)
{
    QDate date;
    const qsizetype at = dateStart(line, date);
    if (at < 0)
        return {};
    const QStringView day = trimBlanks(line.first(at));
    if (!day.startsWith(u'第') && day != u"初日" && day != u"最終日")
        return {};
    return { meetingDay(day), date };
}

bool isEntrantRow(QStringView line)
{
    if (line.size() < 6)
        return false;
    const QChar boat = line[0];
    return boat >= u'1' && boat <= u'6' && line[1] == u' ' && isAsciiDigit(line[2])
        && isAsciiDigit(line[3]) && isAsciiDigit(line[4]) && isAsciiDigit(line[5]);
}

EntrantRow readEntrantRow(QStringView line)
{
    EntrantRow row;
    row.boat = field(line, 1, 1);
    row.reg = field(line, 3, 4);
    row.name = field(line, 7, 4);
    row.age = field(line, 11, 2);
    row.branch = field(line, 13, 2);
    row.weight = field(line, 15, 2);
    row.grade = field(line, 17, 2);
    row.nationalWinRate = field(line, 19, 5);
    row.nationalTop2Rate = field(line, 24, 6);
    row.localWinRate = field(line, 30, 5);
    row.localTop2Rate = field(line, 35, 6);
    row.motor = field(line, 41, 3);
    row.motorTop2Rate = field(line, 44, 6);
    row.boatNumber = field(line, 50, 3);
    row.boatTop2Rate = field(line, 53, 6);
    QStringView results = columns(line, 60, 12);
    while (!results.isEmpty() && isBlank(results.back()))
        results.chop(1);
    row.meetingResults = results;
    row.earlyRace = field(line, 72, 2);
    return row;
}

QString halfWidth(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isWideDigit(c))
            out.append(QChar(u'0' + (c.unicode() - FullWidthZero.unicode())));
        else if (c == QChar(0xFF1A))
            out.append(u':');
        else
            out.append(c);
    }
    return out;
}

} // namespace rusena::programmelayout
