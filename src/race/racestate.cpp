#include "racestate.h"

namespace rusena {

void clearRaceState(RaceState &state)
{
    state.meetingTitle.clear();
    state.raceHeading.clear();
    state.meetingDate.clear();
    state.meetingYear.clear();
    state.meetingMonth.clear();
    state.meetingDayOfMonth.clear();
    state.meetingDayNumber.clear();
    state.accidentText.clear();
    state.techniqueCode.clear();

    for (size_t i = 1; i <= 6; ++i) {
        state.rowCourses[i].clear();
        state.placingCodes[i].clear();
        state.boatNumbers[i].clear();
        state.playerNames[i].clear();
        state.exhibitionTimes[i].clear();
        state.startTimings[i].clear();
        state.raceTimes[i].clear();
    }
    for (size_t k = 1; k <= 3; ++k)
        state.topBoats[k].clear();

    // RaceLines and RaceLineCount stay: the selection empties the block lines itself.
    state.raceText.clear();
}

} // namespace rusena
