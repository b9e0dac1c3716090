#include "programmeparser.h"

#include "store/cp932.h"
#include "store/resultlayout.h"

namespace rusena::library {

namespace {

using namespace rusena::programmelayout;

bool isBlankLine(QStringView line)
{
    return layout::trimBlanks(line).isEmpty();
}

// Walks the lines once: a section's head up to its first label, then race blocks whose
// entrant rows run up to a blank line, the next label or the section's end.
class ProgrammeWalker final {
public:
    explicit ProgrammeWalker(ParsedProgramme &day)
        : m_day(day)
    {
    }

    void walk(QStringView text)
    {
        qsizetype begin = 0;
        while (begin < text.size()) {
            qsizetype end = text.indexOf(u'\n', begin);
            if (end < 0)
                end = text.size();
            QStringView line = text.sliced(begin, end - begin);
            if (line.endsWith(u'\r'))
                line.chop(1);
            take(line);
            begin = end + 1;
        }
    }

private:
    enum class Part { Outside, Head, Title, Race, Rows, Done };

    void take(QStringView line)
    {
        if (isSectionBegin(line)) {
            const int code = layout::venueCode(line);
            m_part = code >= 1 && code <= layout::VenueCount ? Part::Head : Part::Outside;
            if (m_part == Part::Head)
                m_day.sections.append({ code, {}, {}, {} });
            return;
        }
        if (isSectionEnd(line)) {
            m_part = Part::Outside;
            return;
        }
        if (m_part == Part::Outside)
            return;
        if (const int race = raceNumberOfLabel(line)) {
            ProgrammeSection &section = m_day.sections.last();
            m_day.races.append(
                { section.venueCode, m_day.sections.size() - 1, readLabel(line), {} });
            m_part = Part::Race;
            return;
        }
        switch (m_part) {
        case Part::Head:
            takeHeadLine(line);
            break;
        case Part::Title:
            if (!isBlankLine(line)) {
                m_day.sections.last().title = layout::trimBlanks(line);
                m_part = Part::Head;
            }
            break;
        case Part::Race:
        case Part::Rows:
            takeRaceLine(line);
            break;
        default:
            break;
        }
    }

    void takeHeadLine(QStringView line)
    {
        ProgrammeSection &section = m_day.sections.last();
        if (layout::trimBlanks(line) == ProgrammeBanner) {
            m_part = Part::Title;
            return;
        }
        if (section.date.isValid())
            return;
        MeetingDate date = readDateLine(line);
        if (date.date.isValid()) {
            section.meetingDay = std::move(date.day);
            section.date = date.date;
        }
    }

    void takeRaceLine(QStringView line)
    {
        if (isEntrantRow(line)) {
            m_day.races.last().entrants.append(readEntrantRow(line));
            m_part = Part::Rows;
        } else if (m_part == Part::Rows && isBlankLine(line)) {
            m_part = Part::Done;
        }
    }

    ParsedProgramme &m_day;
    Part m_part = Part::Outside;
};

} // namespace

QDate ParsedProgramme::firstSectionDate() const
{
    for (const ProgrammeSection &section : sections) {
        if (section.date.isValid())
            return section.date;
    }
    return {};
}

ParsedProgramme parseProgramme(QString text)
{
    ParsedProgramme day;
    day.text = std::move(text);
    ProgrammeWalker(day).walk(day.text);
    return day;
}

ParsedProgramme parseProgrammeBytes(QByteArrayView bytes)
{
    return parseProgramme(decodeCp932(bytes));
}

} // namespace rusena::library
