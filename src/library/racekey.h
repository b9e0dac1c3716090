#pragma once

#include <QDate>

namespace rusena::library {

/// A result race's id in the index: its date, venue, race number and place in the day's
/// file packed so that ids sort as a player's history lists his races. Read by the
/// registration index in id order, a history needs no sort, and the rows of a day stay
/// together whatever order the days came in. Venues are 1..24 and races 1..12 (the
/// parser takes no others); a day's file, at most MaxDayBytes, holds fewer than 2^24
/// race blocks.
constexpr qint64 RaceSeqLimit = qint64(1) << 24;

inline qint64 raceKey(const QDate &date, int venueCode, int race, int seq)
{
    return ((date.toJulianDay() * 32 + venueCode) * 16 + race) * RaceSeqLimit + seq;
}

/// The least id of the races of `date` and later.
inline qint64 firstRaceKey(const QDate &date)
{
    return raceKey(date, 0, 0, 0);
}

} // namespace rusena::library
