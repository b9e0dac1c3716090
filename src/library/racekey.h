#pragma once

#include <QDate>

#include <limits>

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

/// The Julian day and the race number a race id was made of.
inline qint64 raceKeyJulianDay(qint64 key)
{
    return key / (RaceSeqLimit * 16 * 32);
}

inline int raceKeyRace(qint64 key)
{
    return int(key / RaceSeqLimit % 16);
}

/// The least id of the races of `date` and later.
inline qint64 firstRaceKey(const QDate &date)
{
    return raceKey(date, 0, 0, 0);
}

/// The ids of the races from `from` to `to`, both included; a null end is open. Empty
/// (first after last) when `from` is after `to`.
struct RaceKeyRange final {
    qint64 first;
    qint64 last;
};

inline RaceKeyRange raceKeyRange(const QDate &from, const QDate &to)
{
    return { from.isValid() ? firstRaceKey(from) : 0,
        to.isValid() ? firstRaceKey(to.addDays(1)) - 1 : std::numeric_limits<qint64>::max() };
}

} // namespace rusena::library
