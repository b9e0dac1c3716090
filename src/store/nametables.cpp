#include "nametables.h"

namespace rusena {

QString NameTables::venueName(int code) const
{
    return code >= 1 && code <= layout::VenueCount ? venueNames[static_cast<size_t>(code)]
                                                   : QString();
}

int NameTables::venueCodeOf(const QString &name) const
{
    for (int code = 1; code <= layout::VenueCount; ++code) {
        if (venueNames[static_cast<size_t>(code)] == name)
            return code;
    }
    return 0;
}

void fillNameTables(NameTables &tables)
{
    static const char16_t *const venues[layout::VenueCount]
        = { u"桐生", u"戸田", u"江戸川", u"平和島", u"多摩川", u"浜名湖", u"蒲郡", u"常滑", u"津",
              u"三国", u"琵琶湖", u"住之江", u"尼崎", u"鳴門", u"丸亀", u"児島", u"宮島", u"徳山",
              u"下関", u"若松", u"芦屋", u"福岡", u"唐津", u"大村" };
    static const char16_t *const techniques[] = { u"不成立", u"逃げ", u"差し", u"まくり", u"恵まれ",
        u"抜き", u"まくり差し", u"つけまい" };

    for (size_t k = 1; k <= layout::VenueCount; ++k)
        tables.venueNames[k] = QString::fromUtf16(venues[k - 1]);
    for (int r = 1; r <= layout::RaceCount; ++r)
        tables.raceLabels[static_cast<size_t>(r)] = layout::raceLabel(r);
    for (size_t t = 0; t < tables.techniqueNames.size(); ++t)
        tables.techniqueNames[t] = QString::fromUtf16(techniques[t]);
}

} // namespace rusena
