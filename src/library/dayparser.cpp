#include "dayparser.h"

#include "daykind.h"
#include "store/cp932.h"

namespace rusena::library {

namespace {

using namespace rusena::layout;

QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    lines.reserve(text.size() / 60);
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype end = text.indexOf(u'\n', begin);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(begin, end - begin);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line);
        begin = end + 1;
    }
    return lines;
}

QStringView lineAt(const QList<QStringView> &lines, qsizetype i)
{
    return i < lines.size() ? lines[i] : QStringView();
}

bool isBlankLine(QStringView line)
{
    return trimBlanks(line).isEmpty();
}

// Walks a block's lines (blank lines already left out): titles, the rows after the
// dashed line up to the first line that is no row, then the payout lines.
void readBlock(const QList<QStringView> &body, ParsedRace &race, int &malformed)
{
    enum class Part { Head, Rows, Payouts } part = Part::Head;
    QStringView bet;
    for (const QStringView line : body) {
        if (isVoidRaceLine(line))
            race.isVoid = true;
        if (part == Part::Head) {
            if (isColumnTitleLine(line) && race.technique.isEmpty())
                race.technique = techniqueOf(line);
            else if (isDashedLine(line))
                part = Part::Rows;
            continue;
        }
        if (part == Part::Rows) {
            if (std::optional<PlacingRow> row = readPlacingRow(line)) {
                race.entries.append(std::move(*row));
                continue;
            }
            part = Part::Payouts;
        }
        if (readPayoutLine(line, bet, race.payouts) == PayoutLine::Malformed)
            ++malformed;
    }
    if (race.isVoid)
        race.payouts.clear();
}

// The date as the header writes it ("2020/ 8/15"), where it stands, or nothing.
QStringView writtenDate(QStringView dateLine)
{
    const qsizetype slash = dateLine.indexOf(u'/');
    return slash < 4 ? QStringView() : dateLine.sliced(slash - 4).left(10);
}

class DayWalker final {
public:
    explicit DayWalker(ParsedDay &day)
        : m_day(day)
    {
    }

    void walk(const QList<QStringView> &lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringView line = lines[i];
            if (isSectionBegin(line)) {
                beginSection(lines, i);
            } else if (isSectionEnd(line)) {
                closeBlock();
                m_venue = 0;
            } else if (m_venue > 0) {
                if (const int race = raceNumberOfLabel(line)) {
                    closeBlock();
                    m_label = line;
                    m_race = race;
                } else if (m_race > 0 && !isBlankLine(line)) {
                    m_body.append(line);
                }
            }
        }
        closeBlock();
    }

private:
    void beginSection(const QList<QStringView> &lines, qsizetype i)
    {
        closeBlock();
        const int code = venueCode(lines[i]);
        m_venue = (code >= 1 && code <= VenueCount) ? code : 0;
        if (m_venue == 0)
            return;
        const QStringView dateLine = lineAt(lines, i + DateLineOffset);
        m_day.sections.append({ m_venue, trimBlanks(lineAt(lines, i + TitleLineOffset)),
            sectionDate(dateLine), writtenDate(dateLine) });
    }

    void closeBlock()
    {
        if (m_race == 0)
            return;
        ParsedRace race;
        race.venueCode = m_venue;
        race.race = m_race;
        race.label = readRaceLabel(m_label);
        readBlock(m_body, race, m_day.malformedPayoutLines);
        m_day.races.append(std::move(race));
        m_race = 0;
        m_body.clear();
    }

    ParsedDay &m_day;
    int m_venue = 0;
    int m_race = 0;
    QStringView m_label;
    QList<QStringView> m_body;
};

} // namespace

QDate ParsedDay::firstSectionDate() const
{
    return sections.isEmpty() ? QDate() : sections.constFirst().date;
}

ParsedDay parseDay(QString text)
{
    ParsedDay day;
    day.text = std::move(text);
    DayWalker(day).walk(splitLines(day.text));
    return day;
}

ParsedDay parseDayBytes(QByteArrayView bytes)
{
    return parseDay(decodeCp932(bytes));
}

} // namespace rusena::library
