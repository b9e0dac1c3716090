#include "daysummary.h"

#include "library/starts.h"

#include <map>
#include <utility>

namespace rusena::library {

namespace {

// "1".."6", else 0.
int courseOf(const layout::PlacingRow &row)
{
    if (row.course.size() != 1)
        return 0;
    const char16_t c = row.course.front().unicode();
    return c >= u'1' && c <= u'6' ? c - u'0' : 0;
}

void countStart(CourseSummary &summary, const layout::PlacingRow &row)
{
    ++summary.starts;
    const int rank = row.rank();
    summary.first += rank == 1;
    summary.second += rank == 2;
    summary.third += rank == 3;
    summary.fourth += rank == 4;
    summary.fifth += rank == 5;
    summary.sixth += rank == 6;
    if (const int cs = plainStartCs(row.start); cs >= 0) {
        summary.startSumCs += cs;
        ++summary.plainStarts;
    }
}

} // namespace

int plainStartCs(QStringView start)
{
    if (start.size() != 4 || start[1] != u'.')
        return -1;
    int cs = 0;
    for (const qsizetype i : { 0, 2, 3 }) {
        if (!layout::isAsciiDigit(start[i]))
            return -1;
        cs = cs * 10 + (start[i].unicode() - u'0');
    }
    return cs;
}

DaySummary summariseDay(const ParsedDay &day)
{
    std::map<std::pair<int, int>, CourseSummary> courses;
    std::map<std::pair<int, QStringView>, int> techniques;
    std::map<std::pair<QStringView, QStringView>, PlayerSummary> players;
    for (const ParsedRace &race : day.races) {
        for (const layout::PlacingRow &row : race.entries) {
            PlayerSummary &player = players[{ row.reg, row.name }];
            player.reg = row.reg;
            player.name = row.name;
            ++player.rows;
            const int course = courseOf(row);
            if (!isStart(course, race.isVoid))
                continue;
            ++player.starts;
            CourseSummary &summary = courses[{ race.venueCode, course }];
            summary.venueCode = race.venueCode;
            summary.course = course;
            countStart(summary, row);
        }
        if (!race.isVoid && !race.technique.isEmpty())
            ++techniques[{ race.venueCode, race.technique }];
    }
    DaySummary summary;
    for (const auto &[key, course] : courses)
        summary.courses.append(course);
    for (const auto &[key, races] : techniques)
        summary.techniques.append({ key.first, key.second, races });
    for (const auto &[key, player] : players)
        summary.players.append(player);
    return summary;
}

} // namespace rusena::library
