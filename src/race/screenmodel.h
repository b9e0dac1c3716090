#pragma once

// The screen model keeps the controls' own romanised names, so that the view, the tests
// and resultdump's JSON all speak of the same control:
//
//   tit       the meeting header: date, day number, title, the race's label line
//   rm        the column headings of the result panel (選手名, 展示, ｽﾀｰﾄ, ...)
//   dds       the panel's fields: names, exhibition, start timing and race time by
//             course (0-23), the accidents (24) and the winning technique (25)
//   tyaku     the first three places, each a box in its boat's colours (着 = place)
//   tyakub    the dashes between those boxes
//   wak       the boats' markers in the start-timing chart (枠 = boat colour)
//   okiniiri  the favourite row: registration number, venue, first and second race
//             (お気に入り = favourite)
//   txb       the race's own text box; playerTxb the registration dialog's box
//   cmb       the venue list

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace rusena {

/// A colour as #RRGGBB.
using Rgb = std::uint32_t;

namespace colours {
inline constexpr Rgb Black = 0x000000;
inline constexpr Rgb White = 0xFFFFFF;
/// The ground of an empty placing box, and of a marker with no boat.
inline constexpr Rgb NeutralGrey = 0xC0C0C0;
inline constexpr Rgb Red = 0xFF0000;
inline constexpr Rgb Blue = 0x0000FF;
inline constexpr Rgb Yellow = 0xFFFF00;
inline constexpr Rgb Green = 0x00FF00;
/// The start-timing chart's ground, behind the markers.
inline constexpr Rgb ChartCyan = 0x00FFFF;
} // namespace colours

/// The colours boat 1..6 races in: its body (placing box, chart marker) and the text
/// drawn on it. Any other number gets a neutral grey body with black text.
struct BoatColours final {
    Rgb body;
    Rgb text;
};
BoatColours boatColours(int boat);

/// A placing box or separator: caption, text colour, background.
struct Box final {
    QString caption;
    Rgb fg = colours::Black;
    Rgb bg = colours::NeutralGrey;
    bool fgSet = false; ///< the text colour was set at least once
};

/// A boat marker of the start-timing chart, in twips of the main window's client area.
struct Marker final {
    bool visible = false;
    int left = 0;
    int top = 0;
};

struct ProgressBar final {
    bool visible = true;
    int value = 0;
    int maximum = 100;
};

/// The run-time state of every control of the main window and the registration dialog,
/// by the controls' own names; arrays keep the controls' indexes (unused slots stay empty).
struct ScreenModel final {
    std::array<QString, 4> tit;
    std::array<QString, 26> dds;
    std::array<Box, 4> tyaku; ///< 1..3
    std::array<Box, 3> tyakub; ///< 1..2
    std::array<Marker, 7> wak; ///< 1..6, by boat number
    std::array<QString, 4> okiniiri;
    QString txb;

    QStringList cmbItems;
    int cmbIndex = -1; ///< -1: nothing selected

    ProgressBar progressBar1;

    // The registration dialog `player`.
    QString playerTxb;
    int playerOption = 0; ///< op1(0) or op1(1)

    ScreenModel();

    /// The text shown in cmb: the selected item, or "" when none is selected.
    QString cmbText() const;
};

/// Where a boat's marker waits, hidden, below the panel until a race places it in the
/// chart: top 5520, lefts 120, 600, ... 2520.
Marker restingMarker(int boat);

/// The top of the chart marker of the boat in entry course 1..6: on that course's row.
int chartMarkerTop(int course);

/// Empties the result panel: tit, dds, placing boxes, separators, markers, okiniiri(0), txb.
void resetResultPanel(ScreenModel &screen);

/// Empties okiniiri(0..3).
void clearFavouriteLabels(ScreenModel &screen);

} // namespace rusena
