#include "racelabel.h"

#include "store/resultlayout.h"

namespace rusena::library {

namespace {

using layout::trimBlanks;

qsizetype digitsEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && layout::isAsciiDigit(text[from]))
        ++from;
    return from;
}

// Where "H<digits>m" starts, and where it ends; -1 when the line carries none.
qsizetype distanceStart(QStringView line, qsizetype from, qsizetype &end)
{
    for (qsizetype h = line.indexOf(u'H', from); h >= 0; h = line.indexOf(u'H', h + 1)) {
        end = digitsEnd(line, h + 1);
        if (end > h + 1 && end < line.size() && line[end] == u'm') {
            ++end;
            return h;
        }
    }
    return -1;
}

void splitFixedEntry(QStringView text, RaceLabel &label)
{
    label.fixedEntry = layout::cutFixedEntryFlag(text);
    label.heading = text;
}

// "風  南東　10m": the direction runs up to the speed's digits.
void readWind(QStringView text, RaceLabel &label)
{
    qsizetype digits = 0;
    while (digits < text.size() && !layout::isAsciiDigit(text[digits]))
        ++digits;
    label.windDirection = trimBlanks(text.first(digits));
    label.windSpeed = text.sliced(digits, digitsEnd(text, digits) - digits);
}

void readWave(QStringView text, RaceLabel &label)
{
    const qsizetype cm = text.indexOf(u"cm");
    if (cm < 0)
        return;
    qsizetype begin = cm;
    while (begin > 0 && layout::isAsciiDigit(text[begin - 1]))
        --begin;
    label.wave = text.sliced(begin, cm - begin);
}

void readConditions(QStringView text, RaceLabel &label)
{
    const qsizetype wind = text.indexOf(u'風');
    const qsizetype wave = text.indexOf(u'波');
    const qsizetype weatherEnd = wind >= 0 ? wind : (wave >= 0 ? wave : text.size());
    label.weather = trimBlanks(text.first(weatherEnd));
    if (wind >= 0) {
        const qsizetype windEnd = wave > wind ? wave : text.size();
        readWind(text.sliced(wind + 1, windEnd - wind - 1), label);
    }
    if (wave >= 0)
        readWave(text.sliced(wave + 1), label);
}

} // namespace

RaceLabel readRaceLabel(QStringView line)
{
    RaceLabel label;
    const qsizetype r = line.indexOf(u'R');
    if (r < 0)
        return label;
    qsizetype end = 0;
    const qsizetype h = distanceStart(line, r + 1, end);
    if (h < 0)
        return label;
    splitFixedEntry(line.sliced(r + 1, h - r - 1), label);
    label.distance = line.sliced(h + 1, end - h - 2);
    readConditions(line.sliced(end), label);
    return label;
}

QStringView techniqueOf(QStringView columnTitleLine)
{
    static constexpr QStringView RaceTimeTitle = u"ﾚｰｽﾀｲﾑ";
    const qsizetype at = columnTitleLine.indexOf(RaceTimeTitle);
    if (at < 0)
        return {};
    return trimBlanks(columnTitleLine.sliced(at + RaceTimeTitle.size()));
}

} // namespace rusena::library
