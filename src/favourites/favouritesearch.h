#pragma once

#include "store/outcome.h"

#include <functional>

namespace rusena {

class LineStore;
struct NameTables;
struct FavouriteResult;

/// Called with the progress position after every examined line.
using ProgressFn = std::function<void(int position)>;

/// A race label as the favourite row shows it: " 3 R", " 12 R".
QString favouriteRaceLabel(int race);

/// Walks the stored lines for races in which the player with this registration number
/// starts. Fills `result`; returns true when at least one race was found.
bool walkForFavourite(const LineStore &store, const NameTables &tables, int favouriteNumber,
    FavouriteResult &result, const ProgressFn &progress = {});

/// The search's messages.
Message noPlayerFileMessage();
Message noStoredDayMessage();
Message noFavouriteMessage();
Message notFoundMessage();

} // namespace rusena
