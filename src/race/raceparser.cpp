#include "raceparser.h"

#include "racestate.h"
#include "store/fields.h"
#include "store/resultlayout.h"

#include <algorithm>
#include <array>

namespace rusena {

namespace {

using fields::cut;

// Block lines count from 1 at the label line: row i is block line i + FirstRowOffset.
constexpr int FirstPlacingLine = 1 + layout::FirstRowOffset;
constexpr int Rows = layout::RowsPerRace;

// Field lengths of a placing row. Names are eight characters wide in the organiser's
// files ("広　瀬　　聖　仁").
constexpr int NameLength = 8;
constexpr int RaceTimeLength = 7;
constexpr int TimingLength = 5;

struct Technique {
    QStringView name;
    const char *code;
};

// Tried in this order at each position: "まくり差し" before "まくり" and "差し".
constexpr std::array<Technique, 7> TechniqueSearchOrder { {
    { u"まくり差し", "6" },
    { u"逃げ", "1" },
    { u"差し", "2" },
    { u"まくり", "3" },
    { u"恵まれ", "4" },
    { u"抜き", "5" },
    { u"つけまい", "7" },
} };

const QString &placingRow(const RaceState &state, int row)
{
    return state.raceLines[static_cast<size_t>(row + FirstPlacingLine - 1)];
}

bool isCourseCharacter(QStringView c)
{
    return c.size() == 1 && (c == u"0" || c == u" " || (c >= u"1" && c <= u"6"));
}

// Rows that carry no course of their own ("0" or a blank, as for a boat that never
// reached the start) take the highest courses, in row order.
void fixUpCourses(RaceState &state)
{
    auto unplaced = [](const QString &course) { return course == u"0" || course == u" "; };
    int k = 0;
    for (int row = 1; row <= Rows; ++row)
        k += unplaced(state.rowCourses[static_cast<size_t>(row)]) ? 1 : 0;
    for (int row = 1; row <= Rows && k > 0; ++row) {
        QString &course = state.rowCourses[static_cast<size_t>(row)];
        if (unplaced(course)) {
            course = QString::number(7 - k);
            --k;
        }
    }
}

size_t courseOfRow(const RaceState &state, int row)
{
    return static_cast<size_t>(state.rowCourses[static_cast<size_t>(row)].toInt());
}

QString findTechniqueCode(const RaceState &state)
{
    for (int j = 1; j <= RaceState::MaxRaceLines; ++j) {
        const QString &line = state.raceLines[static_cast<size_t>(j)];
        const int last = static_cast<int>(std::min<qsizetype>(line.size(), fields::ScanLimit));
        for (int p = 1; p <= last; ++p) {
            for (const Technique &technique : TechniqueSearchOrder) {
                if (fields::matchesAt(line, p, technique.name))
                    return QString::fromLatin1(technique.code);
            }
        }
    }
    return QStringLiteral("0");
}

bool marksAccident(const QString &placingCode)
{
    if (placingCode.isEmpty())
        return false;
    const QChar m = placingCode.front();
    return m == u'S' || m == u'F' || m == u'L' || m == u'K';
}

} // namespace

bool isWellFormedRow(const QString &row)
{
    const QList<int> dots = fields::dotsFromRight(row);
    if (dots.size() < 3 || dots.at(2) < 7)
        return false;
    if (dots.at(1) < 3 || (dots.size() >= 4 && dots.at(3) < 3))
        return false;
    if (!isCourseCharacter(cut(row, dots.at(2) - 6, 1)))
        return false;
    return fields::firstRunOfFour(row) >= 3;
}

bool parseRaceBlock(RaceState &state)
{
    for (int row = 1; row <= Rows; ++row) {
        if (!isWellFormedRow(placingRow(state, row)))
            return false;
    }

    for (int row = 1; row <= Rows; ++row) {
        const QList<int> dots = fields::dotsFromRight(placingRow(state, row));
        state.rowCourses[static_cast<size_t>(row)]
            = cut(placingRow(state, row), dots.at(2) - 6, 1).toString();
    }
    fixUpCourses(state);

    for (int row = 1; row <= Rows; ++row) {
        const QString &line = placingRow(state, row);
        const size_t n = courseOfRow(state, row);
        state.placingCodes[n] = cut(line, fields::firstNonBlank(line), 1).toString();
    }

    for (int row = 1; row <= Rows; ++row) {
        const QString &line = placingRow(state, row);
        const size_t n = courseOfRow(state, row);
        const int r = fields::firstRunOfFour(line);
        state.boatNumbers[n] = cut(line, r - 2, 1).toString();
        state.playerNames[n] = cut(line, r + 5, NameLength).toString();
    }

    for (int row = 1; row <= Rows; ++row) {
        const QString &line = placingRow(state, row);
        const size_t n = courseOfRow(state, row);
        const QList<int> dots = fields::dotsFromRight(line);
        state.raceTimes[n] = cut(line, dots.at(1) - 2, RaceTimeLength).toString();
        state.startTimings[n] = cut(line, dots.at(2) - 2, TimingLength).toString();
        if (dots.size() >= 4)
            state.exhibitionTimes[n] = cut(line, dots.at(3) - 2, TimingLength).toString();
    }

    state.techniqueCode = findTechniqueCode(state);

    // Rows 1 to 3 are first to third place; a boat with an accident mark has no place.
    for (int k = 1; k <= 3; ++k) {
        const size_t n = courseOfRow(state, k);
        if (!marksAccident(state.placingCodes[n]))
            state.topBoats[static_cast<size_t>(k)] = state.boatNumbers[n];
    }
    return true;
}

} // namespace rusena
