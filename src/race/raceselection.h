#pragma once

#include "store/outcome.h"

namespace rusena {

class LineStore;
struct NameTables;
struct RaceState;

/// The messages of a failed selection.
Message noVenueMessage();
Message missingDataMessage(const QString &venueName);
Message raceReadMessage(const QString &venueName, int race);

/// Finds the venue's section and the race block, fills the meeting header, RaceLines,
/// RaceLineCount and RaceText (payout lines only when resultTextMode is 2). Does not
/// parse the block. On failure returns the message to show; the caller blanks the panel.
Outcome findAndCopyRace(const LineStore &store, const NameTables &tables, int venueCode, int race,
    int resultTextMode, RaceState &state);

} // namespace rusena
