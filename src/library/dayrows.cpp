#include "dayrows.h"

#include "storedpayouts.h"

namespace rusena::library {

DayRows dayRows(ParsedDay day)
{
    DayRows rows { std::move(day), {}, {} };
    rows.summary = summariseDay(rows.day);
    rows.payouts.reserve(rows.day.races.size());
    for (const ParsedRace &race : rows.day.races)
        rows.payouts.append(storedPayouts(race.payouts));
    return rows;
}

} // namespace rusena::library
