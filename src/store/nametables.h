#pragma once

#include <QString>

#include <array>

namespace rusena {

/// The fixed name tables: venues by code 1..24, race labels 1..12, techniques 0..7.
/// Index 0 of VenueNames and RaceLabels is unused.
struct NameTables final {
    std::array<QString, 25> venueNames;
    std::array<QString, 13> raceLabels;
    std::array<QString, 8> techniqueNames;

    /// VenueNames(k) for k in 1..24, "" otherwise.
    QString venueName(int code) const;
};

/// Sets every entry of the three tables to its fixed value.
void fillNameTables(NameTables &tables);

} // namespace rusena
