#pragma once

namespace rusena::library {

/// A start: a placing row with an entry course 1..6 in a race that was not void, whatever
/// its placing mark (F, L and K included). The statistics, a player's summary and the
/// name search count starts by this one rule.
inline bool isStart(int course, bool raceVoid)
{
    return !raceVoid && course >= 1 && course <= 6;
}

/// The same rule as an SQL condition over entries `e` joined to their races `r`.
inline constexpr char StartSql[] = "(e.course BETWEEN 1 AND 6 AND r.void = 0)";

} // namespace rusena::library
