#pragma once

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
inline constexpr Rgb LightGrey = 0xC0C0C0;
inline constexpr Rgb Red = 0xFF0000;
inline constexpr Rgb Blue = 0x0000FF;
inline constexpr Rgb Yellow = 0xFFFF00;
inline constexpr Rgb Green = 0x00FF00;
} // namespace colours

/// A placing box or separator: caption, text colour, background.
struct Box final {
    QString caption;
    Rgb fg = colours::Black;
    Rgb bg = colours::LightGrey;
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
    std::array<Box, 4> tyaku;  ///< 1..3
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

/// Design places of the boat markers: top 5520, lefts 120, 600, ... 2520.
Marker designMarker(int boat);

/// Empties the result panel: tit, dds, placing boxes, separators, markers, okiniiri(0), txb.
void resetResultPanel(ScreenModel &screen);

/// Empties okiniiri(0..3).
void clearFavouriteLabels(ScreenModel &screen);

} // namespace rusena
