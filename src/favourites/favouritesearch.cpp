#include "favouritesearch.h"

#include "settings.h"
#include "store/fields.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/resultlayout.h"

#include <algorithm>

namespace rusena {

namespace {

constexpr int LastRowOffset = layout::FirstRowOffset + layout::RowsPerRace - 1;

// The registration number of a placing row is its first run of four non-blank characters.
bool rowHasPlayer(const QString &row, const QString &key)
{
    const int at = fields::firstRunOfFour(row);
    return at != 0 && fields::cut(row, at, 4) == key;
}

} // namespace

QString favouriteRaceLabel(int race)
{
    return QLatin1Char(' ') + QString::number(race) + QStringLiteral(" R");
}

bool walkForFavourite(const LineStore &store, const NameTables &tables, int favouriteNumber,
    FavouriteResult &result, const ProgressFn &progress)
{
    const QString key = fourDigits(favouriteNumber);
    const int count = store.count();
    int venueCode = -1; // no section yet
    bool found = false;

    for (int i = 1; i <= count; ++i) {
        const QString &line = store.line(i);
        if (layout::isSectionBegin(line))
            venueCode = layout::venueCode(line);

        for (int r = 1; r <= layout::RaceCount; ++r) {
            if (!fields::startsWith(line, tables.raceLabels[static_cast<size_t>(r)]))
                continue;
            const int lastRow = std::min(i + LastRowOffset, count);
            for (int row = i + layout::FirstRowOffset; row <= lastRow; ++row) {
                if (!rowHasPlayer(store.line(row), key))
                    continue;
                if (!found) {
                    result.venue = tables.venueName(venueCode);
                    result.race1 = favouriteRaceLabel(r);
                    result.venue1 = venueCode;
                    result.number1 = r;
                    found = true;
                } else {
                    result.race2 = favouriteRaceLabel(r);
                    result.venue2 = venueCode;
                    result.number2 = r;
                }
            }
            // The walk resumes at the race's first payout line.
            i += layout::FirstPayoutOffset - 1;
            break;
        }

        if (progress)
            progress(i);
    }
    return found;
}

Message noPlayerFileMessage()
{
    return { QStringLiteral("検索ファイル"),
        QStringLiteral("ファイルが存在しません。始めに作成して下さい。"), MessageIcon::Warning,
        MessageButtons::Ok };
}

Message noStoredDayMessage()
{
    return { QStringLiteral("レース結果ファイル読み込み"),
        QStringLiteral("始めにレース結果ファイルを読み込んで下さい。"), MessageIcon::Information,
        MessageButtons::Ok };
}

Message noFavouriteMessage()
{
    return { QStringLiteral("検索不可能"), QStringLiteral("お気に入り選手が登録されていません。"),
        MessageIcon::Warning, MessageButtons::Ok };
}

Message notFoundMessage()
{
    return { QStringLiteral("検索結果"), QStringLiteral("お気に入り選手は出走していませんでした。"),
        MessageIcon::Information, MessageButtons::Ok };
}

} // namespace rusena
