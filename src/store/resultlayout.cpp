#include "resultlayout.h"

namespace rusena::layout {

namespace {

bool isHalfBlank(QChar c)
{
    return c == u' ';
}

bool hasTagAt(QStringView line, QStringView tag)
{
    return line.size() >= SectionTagPosition - 1 + tag.size()
        && line.sliced(SectionTagPosition - 1, tag.size()) == tag;
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

bool allDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

QString twoDigits(int code)
{
    return QString::number(code).rightJustified(2, u'0');
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
bool isDayEnd(QStringView line)
{
    return line.startsWith(DayEndMarker);
}

int venueCode(QStringView line)
{
    if (line.size() < 2)
        return -1;
    const QChar a = line[0];
    const QChar b = line[1];
    if (isAsciiDigit(a) && isAsciiDigit(b))
        return (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    if (isHalfBlank(a) && isAsciiDigit(b))
        return b.unicode() - u'0';
    if (isAsciiDigit(a) && isHalfBlank(b))
        return a.unicode() - u'0';
    return -1;
}

QString sectionBeginMarker(int code)
{
    return twoDigits(code) + SectionBeginTag;
}
QString sectionEndMarker(int code)
{
    return twoDigits(code) + SectionEndTag;
}

QDate sectionDate(QStringView dateLine)
{
    // "2020/ 8/15": four digits before the first slash, month and day padded with blanks.
    const qsizetype slash = dateLine.indexOf(u'/');
    if (slash < 4)
        return {};
    const QStringView year = dateLine.sliced(slash - 4, 4);
    const QStringView month = trimBlanks(dateLine.sliced(slash + 1).left(2));
    const QStringView rest = dateLine.sliced(slash + 1);
    const qsizetype slash2 = rest.indexOf(u'/');
    if (slash2 != 2 || !allDigits(year) || !allDigits(month))
        return {};
    const QStringView day = trimBlanks(rest.sliced(slash2 + 1).left(2));
    if (!allDigits(day))
        return {};
    return QDate(year.toInt(), month.toInt(), day.toInt());
}

QString raceLabel(int race)
{
    return QString::number(race).rightJustified(4, u' ') + u'R';
}

int raceNumberOfLabel(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && isHalfBlank(line[i]))
        ++i;
    const qsizetype digits = i;
    while (i < line.size() && isAsciiDigit(line[i]))
        ++i;
    if (i == digits || i - digits > 2 || i >= line.size() || line[i] != u'R')
        return 0;
    const int race = line.sliced(digits, i - digits).toInt();
    if (race < 1 || race > RaceCount)
        return 0;
    // The distance "H<digits>m" further on tells a label from the payout summary.
    for (qsizetype h = line.indexOf(u'H', i); h >= 0; h = line.indexOf(u'H', h + 1)) {
        qsizetype j = h + 1;
        while (j < line.size() && isAsciiDigit(line[j]))
            ++j;
        if (j > h + 1 && j < line.size() && line[j] == u'm')
            return race;
    }
    return 0;
}

bool isColumnTitleLine(QStringView line)
{
    return trimBlanks(line).startsWith(u"着 艇 登番");
}

bool isDashedLine(QStringView line)
{
    const QStringView text = trimBlanks(line);
    return text.size() >= 10 && text.count(u'-') == text.size();
}

bool isVoidRaceLine(QStringView line)
{
    // Every line of every block is asked: one character first, which few lines hold.
    static constexpr QStringView VoidRace = u"レース不成立";
    return line.contains(VoidRace.front()) && line.contains(VoidRace);
}

int PlacingRow::rank() const
{
    if (placing.size() == 2 && placing[0] == u'0' && placing[1] >= u'1' && placing[1] <= u'6')
        return placing[1].unicode() - u'0';
    return 0;
}

bool isPlacingRow(QStringView line)
{
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    if (line.size() > PlacingRowWidth || line.size() < 12)
        return false;
    const QChar boat = line[6];
    return isHalfBlank(line[0]) && isHalfBlank(line[1]) && boat >= u'1' && boat <= u'6'
        && allDigits(line.sliced(8, 4));
}

std::optional<PlacingRow> readPlacingRow(QStringView line)
{
    if (!isPlacingRow(line))
        return std::nullopt;
    PlacingRow row;
    row.placing = field(line, 3, 2);
    row.boat = field(line, 7, 1);
    row.reg = field(line, 9, 4);
    row.name = field(line, 14, 8);
    row.motor = field(line, 23, 2);
    row.boatNumber = field(line, 27, 3);
    row.exhibition = field(line, 31, 5);
    row.course = field(line, 39, 1);
    row.start = field(line, 43, 5);
    row.raceTime = field(line, 53, 6);
    if (row.raceTime == u".  .")
        row.raceTime = {};
    return row;
}

QStringView payoutBet(QStringView line)
{
    const QStringView text = trimBlanks(line);
    for (const QStringView bet : BetNames) {
        if (text.startsWith(bet))
            return bet;
    }
    return {};
}

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool cutFixedEntryFlag(QStringView &name)
{
    static constexpr QStringView Flag = u"進入固定";
    name = trimBlanks(name);
    if (!name.endsWith(Flag))
        return false;
    const QStringView before = name.chopped(Flag.size());
    if (!before.isEmpty() && !isBlank(before.back()))
        return false;
    name = trimBlanks(before);
    return true;
}

} // namespace rusena::layout
