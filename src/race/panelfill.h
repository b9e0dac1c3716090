#pragma once

#include <QString>

namespace rusena {

struct FavouriteResult;
struct NameTables;
struct RaceState;
struct ScreenModel;
struct Settings;

/// Where the chart puts a boat with this slit time (hundredths; 100 = a second or more,
/// 105 = late, 110 = did not start): the left edge in twips, or -1 when it is hidden.
int chartLeft(int slitTime);

/// The slit time read from a start timing ("  0.12" style) before accidents apply.
int slitTime(const QString &startTiming);

/// Shows the parsed race in the whole result panel: header, course rows, chart,
/// accidents, technique, placings, the favourite row and the race text. Builds
/// accidentText.
void fillResultPanel(RaceState &state, const NameTables &tables, const Settings &settings,
    const FavouriteResult &favourite, ScreenModel &screen);

} // namespace rusena
