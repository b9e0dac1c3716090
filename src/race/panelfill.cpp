#include "panelfill.h"

#include "favourites/settings.h"
#include "racestate.h"
#include "screenmodel.h"
#include "store/nametables.h"

namespace rusena {

namespace {

// Slit times with a meaning of their own.
constexpr int OneSecondOrMore = 100;
constexpr int LateStart = 105;
constexpr int NoStart = 110;

// Chart geometry in twips.
constexpr int ZeroLeft = 5120;
constexpr int TwipsPerHundredth = 20;
constexpr int LateLeft = 3040;
constexpr int FlyingLimit = -19; // a flying start this far or further stops at FlyingLeft
constexpr int FlyingLeft = 5460;

QChar firstChar(const QString &text)
{
    return text.isEmpty() ? QChar() : text.front();
}

bool isAccidentMark(QChar m)
{
    return m == u'K' || m == u'F' || m == u'L' || m == u'S';
}

// 1..6 for a text that is exactly one of those digits; 0 otherwise.
int boatOf(const QString &text)
{
    if (text.size() != 1 || text.front() < u'1' || text.front() > u'6')
        return 0;
    return text.front().unicode() - u'0';
}

// The full-width digit a placing box shows for boat 1..6.
QChar boatCaption(int boat)
{
    return QChar(static_cast<char16_t>(u'１' + (boat - 1)));
}

void fillHeader(const RaceState &state, ScreenModel &screen)
{
    screen.tit[0] = state.meetingDate;
    screen.tit[1] = u"第" + state.meetingDayNumber + u"日";
    screen.tit[2] = u"  " + state.meetingTitle;
    screen.tit[3] = state.raceHeading;
}

void fillCourseRows(const RaceState &state, ScreenModel &screen)
{
    for (size_t n = 1; n <= 6; ++n) {
        screen.dds[n - 1] = u"  " + state.playerNames[n];
        screen.dds[n + 5] = state.exhibitionTimes[n];
        screen.dds[n + 11] = state.startTimings[n];
        screen.dds[n + 17] = state.raceTimes[n];
    }
}

// Moves each named boat's marker to its course's place in the chart. A marker that no
// course names keeps where it was.
void fillChart(const RaceState &state, ScreenModel &screen)
{
    for (int n = 1; n <= 6; ++n) {
        const size_t course = static_cast<size_t>(n);
        int slit = slitTime(state.startTimings[course]);
        const QChar m = firstChar(state.placingCodes[course]);
        if (m == u'F')
            slit = -slit;
        else if (m == u'L')
            slit = LateStart;
        else if (m == u'K')
            slit = NoStart;

        const int boat = boatOf(state.boatNumbers[course]);
        if (boat == 0)
            continue;
        Marker &marker = screen.wak[static_cast<size_t>(boat)];
        const int left = chartLeft(slit);
        if (left < 0) {
            marker.visible = false;
            continue;
        }
        marker.left = left;
        marker.top = chartMarkerTop(n);
        marker.visible = true;
    }
}

void fillAccidents(RaceState &state, ScreenModel &screen)
{
    for (size_t row = 1; row <= 6; ++row) {
        const int n = state.rowCourses[row].toInt();
        if (n < 1 || n > 6)
            continue;
        const size_t course = static_cast<size_t>(n);
        const QChar m = firstChar(state.placingCodes[course]);
        if (isAccidentMark(m))
            state.accidentText += state.boatNumbers[course] + u'.' + m;
    }
    screen.dds[24] = state.accidentText;
}

void fillTechnique(const RaceState &state, const NameTables &tables, ScreenModel &screen)
{
    bool isNumber = false;
    const int code = state.techniqueCode.toInt(&isNumber);
    const bool known
        = isNumber && code >= 0 && code < static_cast<int>(tables.techniqueNames.size());
    screen.dds[25] = tables.techniqueNames[known ? static_cast<size_t>(code) : 0];
}

void fillPlacings(const RaceState &state, ScreenModel &screen)
{
    for (size_t k = 1; k <= 3; ++k) {
        screen.tyaku[k].caption.clear();
        screen.tyaku[k].bg = colours::NeutralGrey;
    }

    // A void race (code 0 or unreadable) shows no placings.
    const bool decided = state.techniqueCode.toInt() != 0;
    const auto &top = state.topBoats;
    int count = 1;
    if (decided && !top[1].isEmpty() && !top[2].isEmpty() && !top[3].isEmpty()) {
        screen.tyakub[1].caption = QStringLiteral("-");
        screen.tyakub[2].caption = QStringLiteral("-");
        count = 3;
    } else if (decided && !top[1].isEmpty() && !top[2].isEmpty() && top[3].isEmpty()) {
        screen.tyakub[1].caption = QStringLiteral("-");
        screen.tyakub[2].caption.clear();
        count = 2;
    } else {
        screen.tyakub[1].caption.clear();
        screen.tyakub[2].caption.clear();
    }
    if (!decided)
        return;

    for (int k = 1; k <= count; ++k) {
        const int boat = boatOf(top[static_cast<size_t>(k)]);
        if (boat == 0)
            continue; // no boat to colour the box with: it stays neutral
        Box &box = screen.tyaku[static_cast<size_t>(k)];
        const BoatColours c = boatColours(boat);
        box.fg = c.text;
        box.fgSet = true;
        box.bg = c.body;
        box.caption = QString(boatCaption(boat));
    }
}

} // namespace

int chartLeft(int slit)
{
    if (slit == NoStart)
        return -1;
    if (slit == LateStart)
        return LateLeft;
    if (slit <= FlyingLimit)
        return FlyingLeft;
    return ZeroLeft - TwipsPerHundredth * slit;
}

int slitTime(const QString &startTiming)
{
    const QStringView seconds = QStringView(startTiming).mid(1, 1);
    if (seconds == u"1")
        return OneSecondOrMore;
    if (seconds != u"0")
        return 0;
    // Hundredths: characters 4 and 5; blanks around them do not count, anything else
    // that is not a digit reads as no hundredths.
    QStringView hundredths = QStringView(startTiming).mid(3, 2);
    while (!hundredths.isEmpty() && hundredths.front() == u' ')
        hundredths = hundredths.mid(1);
    while (!hundredths.isEmpty() && hundredths.back() == u' ')
        hundredths.chop(1);
    int value = 0;
    for (QChar c : hundredths) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

void fillResultPanel(RaceState &state, const NameTables &tables, const Settings &settings,
    const FavouriteResult &favourite, ScreenModel &screen)
{
    fillHeader(state, screen);
    fillCourseRows(state, screen);
    fillChart(state, screen);
    fillAccidents(state, screen);
    fillTechnique(state, tables, screen);
    fillPlacings(state, screen);
    showFavourite(settings, favourite, screen);
    screen.txb = state.raceText;
}

} // namespace rusena
