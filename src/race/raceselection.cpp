#include "raceselection.h"

#include "racestate.h"
#include "store/fields.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/resultlayout.h"

#include <algorithm>
#include <array>

namespace rusena {

namespace {

using fields::cut;
using fields::startsWith;

// A section's race labels lie within this many lines after its begin marker.
constexpr int LabelSearchOffsets = 360;
// Block lines count from 1 at the label line.
constexpr int FirstPayoutLine = 1 + layout::FirstPayoutOffset;

using ShownLines = std::array<QString, RaceState::MaxRaceLines + 1>;

QString readLoadErrorCaption()
{
    return QStringLiteral("読み込みエラー");
}

// Title and date of the meeting, from the section header. Fields whose anchor stands
// too close to the line start to hold them stay empty.
void readSectionHeader(const LineStore &store, int sectionStart, RaceState &state)
{
    state.meetingTitle = store.line(sectionStart + layout::TitleLineOffset);
    // Only half-width blanks are trimmed: titles are padded with full-width ones too,
    // and those are part of the title as written.
    while (state.meetingTitle.startsWith(QLatin1Char(' ')))
        state.meetingTitle.remove(0, 1);
    while (state.meetingTitle.endsWith(QLatin1Char(' ')))
        state.meetingTitle.chop(1);

    const QString &dateLine = store.line(sectionStart + layout::DateLineOffset);
    const int day = fields::find(dateLine, u'日');
    if (day >= 3)
        state.meetingDayNumber = cut(dateLine, day - 2, 2).toString();

    const int slash = fields::find(dateLine, u'/');
    if (slash >= 5) {
        state.meetingYear = cut(dateLine, slash - 4, 4).toString();
        state.meetingMonth = cut(dateLine, slash + 1, 2).toString();
        state.meetingDayOfMonth = cut(dateLine, slash + 4, 2).toString();
        state.meetingDate = state.meetingYear + u"年" + state.meetingMonth + u"月"
            + state.meetingDayOfMonth + u"日";
    }
}

// The first line of the day that starts with the marker; 0 when none does. Only lines
// that open a section can, so the store's index of those is walked.
int findSection(const LineStore &store, const QString &beginMarker)
{
    for (const int j : store.sectionBeginLines()) {
        if (startsWith(store.line(j), beginMarker))
            return j;
    }
    return 0;
}

// The offset of the race's label line from the section start; -1 when the section ends
// first or the label is not within reach.
int findLabelOffset(
    const LineStore &store, int sectionStart, const QString &label, const QString &endMarker)
{
    for (int m = 0; m <= LabelSearchOffsets; ++m) {
        const QString &line = store.line(sectionStart + m);
        if (startsWith(line, label))
            return m;
        if (startsWith(line, endMarker))
            return -1;
    }
    return -1;
}

// Copies the block and its terminator into RaceLines. False when no terminator comes
// within the 30 lines a block may span.
bool copyBlock(const LineStore &store, int firstLine, const QString &nextLabel,
    const QString &endMarker, RaceState &state, ShownLines &shown)
{
    state.raceLineCount = 1;
    for (int n = 1; n <= RaceState::MaxRaceLines; ++n) {
        const QString &line = store.line(firstLine + n - 1);
        state.raceLines[static_cast<size_t>(n)] = line;
        shown[static_cast<size_t>(n)] = line;
        const bool endsBlock
            = (!nextLabel.isEmpty() && startsWith(line, nextLabel)) || startsWith(line, endMarker);
        if (endsBlock) {
            state.raceLineCount = n - 1;
            return true;
        }
    }
    return false;
}

void keepPayoutLines(RaceState &state, ShownLines &shown)
{
    const int total = state.raceLineCount;
    const int kept = std::max(total - (FirstPayoutLine - 1), 0);
    ShownLines payouts;
    for (int n = 1; n <= kept; ++n)
        payouts[static_cast<size_t>(n)] = shown[static_cast<size_t>(n + FirstPayoutLine - 1)];
    shown = payouts;
    state.raceLineCount = kept;
}

QString joinShownLines(const ShownLines &shown, int count)
{
    QString text;
    for (int n = 1; n <= count; ++n)
        text += shown[static_cast<size_t>(n)] + u"\r\n";
    return text;
}

} // namespace

Message noVenueMessage()
{
    return { QStringLiteral("開催地選択エラー"), QStringLiteral("開催地を選択して下さい。"),
        MessageIcon::Warning, MessageButtons::Ok };
}

Message missingDataMessage(const QString &venueName)
{
    return { readLoadErrorCaption(), venueName + u"競艇場のデータがありません。",
        MessageIcon::Warning, MessageButtons::Ok };
}

Message raceReadMessage(const QString &venueName, int race)
{
    // The race number stands with one blank in front of it: "( 5レース )", "( 12レース )".
    return { readLoadErrorCaption(),
        venueName + u"競艇場 ( " + QString::number(race) + u"レース ) 読み込みエラー。",
        MessageIcon::Warning, MessageButtons::Ok };
}

Outcome findAndCopyRace(const LineStore &store, const NameTables &tables, int venueCode, int race,
    int resultTextMode, RaceState &state)
{
    for (QString &line : state.raceLines)
        line.clear();
    ShownLines shown;

    const QString venueName = tables.venueName(venueCode);
    if (venueCode < 1 || venueCode > layout::VenueCount)
        return Outcome::failure(Code::MissingData, missingDataMessage(venueName));

    const QString beginMarker = layout::sectionBeginMarker(venueCode);
    const QString endMarker = layout::sectionEndMarker(venueCode);

    const int sectionStart = findSection(store, beginMarker);
    if (sectionStart == 0)
        return Outcome::failure(Code::MissingData, missingDataMessage(venueName));
    readSectionHeader(store, sectionStart, state);

    const QString label = race >= 1 && race <= layout::RaceCount
        ? tables.raceLabels[static_cast<size_t>(race)]
        : QString();
    if (label.isEmpty())
        return Outcome::failure(Code::RaceRead, raceReadMessage(venueName, race));
    const int offset = findLabelOffset(store, sectionStart, label, endMarker);
    if (offset < 0)
        return Outcome::failure(Code::RaceRead, raceReadMessage(venueName, race));

    // The last race of a section is closed by the section end only.
    const QString nextLabel
        = race < layout::RaceCount ? tables.raceLabels[static_cast<size_t>(race + 1)] : QString();
    if (!copyBlock(store, sectionStart + offset, nextLabel, endMarker, state, shown))
        return Outcome::failure(Code::MissingData, missingDataMessage(venueName));

    if (resultTextMode == 2)
        keepPayoutLines(state, shown);
    state.raceHeading = state.raceLines[1];
    state.raceText = joinShownLines(shown, state.raceLineCount);
    return Outcome::success();
}

} // namespace rusena
