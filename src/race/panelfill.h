#pragma once

#include <QString>

namespace rusena {

struct NameTables;
struct RaceState;
struct ScreenModel;

/// Where the chart puts a boat with this slit time (hundredths; 100 = a second or more,
/// 105 = late, 110 = did not start): the left edge in twips, or -1 when it is hidden.
int chartLeft(int slitTime);

/// The slit time read from a start timing ("  0.12" style) before accidents apply.
int slitTime(const QString &startTiming);

/// Shows the parsed race in the panel. Builds AccidentText; the favourite row is left
/// to the caller (ShowFavourite runs between the placings and the text box).
void fillResultPanelUpToFavourite(RaceState &state, const NameTables &tables, ScreenModel &screen);

} // namespace rusena
