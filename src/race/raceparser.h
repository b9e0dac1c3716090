#pragma once

#include <QString>

namespace rusena {

struct RaceState;

/// Cuts courses, place marks, boats, names, times, the technique code and the top boats
/// out of RaceLines. Returns false, leaving the state partly filled, when a placing row is
/// malformed (the caller then treats the race as unreadable).
bool parseRaceBlock(RaceState &state);

/// True when the row can be cut safely: at least three dots in 1..200, the third from the
/// right at 7 or later, a course character 1..6, 0 or blank, R at 3 or later, and the
/// second and fourth dots from the right, where present, at 3 or later.
bool isWellFormedRow(const QString &row);

} // namespace rusena
