#include "screenmodel.h"

namespace rusena {

ScreenModel::ScreenModel()
{
    // The markers wait below the panel until a race places them in the chart.
    for (int boat = 1; boat <= 6; ++boat)
        wak[static_cast<size_t>(boat)] = restingMarker(boat);
}

QString ScreenModel::cmbText() const
{
    if (cmbIndex < 0 || cmbIndex >= cmbItems.size())
        return {};
    return cmbItems.at(cmbIndex);
}

BoatColours boatColours(int boat)
{
    static constexpr BoatColours table[] = {
        { colours::White, colours::Black },
        { colours::Black, colours::White },
        { colours::Red, colours::Black },
        { colours::Blue, colours::White },
        { colours::Yellow, colours::Black },
        { colours::Green, colours::Black },
    };
    if (boat < 1 || boat > 6)
        return { colours::NeutralGrey, colours::Black };
    return table[boat - 1];
}

Marker restingMarker(int boat)
{
    return Marker { false, 120 + 480 * (boat - 1), 5520 };
}

int chartMarkerTop(int course)
{
    return 980 + 240 * course;
}

void resetResultPanel(ScreenModel &screen)
{
    for (QString &caption : screen.tit)
        caption.clear();
    for (QString &caption : screen.dds)
        caption.clear();
    // Only caption and background: the text colour stays as the last race left it.
    for (size_t k = 1; k <= 3; ++k) {
        screen.tyaku[k].caption.clear();
        screen.tyaku[k].bg = colours::NeutralGrey;
    }
    for (size_t k = 1; k <= 2; ++k) {
        screen.tyakub[k].caption.clear();
        screen.tyakub[k].bg = colours::NeutralGrey;
    }
    for (size_t boat = 1; boat <= 6; ++boat)
        screen.wak[boat].visible = false;
    screen.okiniiri[0].clear();
    screen.txb.clear();
}

void clearFavouriteLabels(ScreenModel &screen)
{
    for (QString &caption : screen.okiniiri)
        caption.clear();
}

} // namespace rusena
