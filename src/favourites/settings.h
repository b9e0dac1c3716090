#pragma once

#include "store/outcome.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace rusena {

struct ScreenModel;

/// The two settings kept in player.dat.
struct Settings final {
    std::int16_t favouriteNumber = 0; ///< FavouriteNumber; 0 = none registered
    std::int16_t resultTextMode = 0; ///< ResultTextMode; 1 all, 2 payouts only, 0 acts as 1
};

/// The outcome of the last favourite search.
struct FavouriteResult final {
    QString venue; ///< FavouriteVenue
    QString race1; ///< FavouriteRace1
    QString race2; ///< FavouriteRace2
    /// The races behind race1 and race2, kept so that a label can open its race: venue
    /// code and race number, 0 for none.
    int venue1 = 0, number1 = 0;
    int venue2 = 0, number2 = 0;
};

/// FavouriteNumber as four digits with leading zeros ("0007").
QString fourDigits(int number);

/// Settings from player.dat when it exists (missing bytes read as zero), else 0 and 1.
/// Nothing when player.dat exists but cannot be read (or is no regular file).
std::optional<Settings> loadSettings(const QString &playerPath);

/// player.dat's one record: the favourite's number, then the text box setting, each a
/// little-endian signed 16-bit value.
QByteArray settingsRecord(const Settings &settings);

/// Writes player.dat's one record atomically, creating the file's folder when missing.
Outcome writeSettings(const QString &playerPath, const Settings &settings);

/// Writes the favourite row; does nothing while no favourite is registered.
void showFavourite(const Settings &settings, const FavouriteResult &result, ScreenModel &screen);

} // namespace rusena
