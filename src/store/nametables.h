#pragma once

#include "resultlayout.h"

#include <QString>

#include <array>

namespace rusena {

/// The fixed name tables: venues by code 1..VenueCount, race labels 1..RaceCount,
/// techniques 0..7. Index 0 of venueNames and raceLabels is unused.
struct NameTables final {
    std::array<QString, layout::VenueCount + 1> venueNames;
    std::array<QString, layout::RaceCount + 1> raceLabels;
    std::array<QString, 8> techniqueNames;

    /// The venue of `code` for codes 1..VenueCount, "" otherwise.
    QString venueName(int code) const;
    /// The code of the venue called `name`, 0 when no venue is.
    int venueCodeOf(const QString &name) const;
};

/// Sets every entry of the three tables to its fixed value.
void fillNameTables(NameTables &tables);

} // namespace rusena
