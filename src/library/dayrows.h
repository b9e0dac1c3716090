#pragma once

#include "dayparser.h"
#include "daysummary.h"

#include <QStringList>

namespace rusena::library {

/// A parsed day with what the index writes besides its rows worked out beforehand, on
/// the thread that parsed it: the day's summary and each race's stored payouts.
struct DayRows final {
    ParsedDay day;
    DaySummary summary;
    QStringList payouts; ///< storedPayouts() of each race, in the races' order
};

DayRows dayRows(ParsedDay day);

} // namespace rusena::library
