#include "favouritesearch.h"

#include "settings.h"
#include "store/fields.h"
#include "store/linestore.h"
#include "store/nametables.h"

#include <algorithm>

namespace rusena {

namespace {

// A race label line is followed by two heading lines and then the six placing rows.
constexpr int FirstRowOffset = 3;
constexpr int LastRowOffset = 8;
// After a race the walk goes on ten lines below its label.
constexpr int RaceSkip = 9;

// The registration number of a placing row is its first run of four non-blank characters.
bool rowHasPlayer(const QString &row, const QString &key)
{
    const int at = fields::firstRunOfFour(row);
    return at != 0 && fields::cut(row, at, 4) == key;
}

// Looks up the venue of a section header's code: "01".."24", blanks around the digits
// allowed. Anything else, or no section yet, gives no venue.
QString venueOf(const NameTables &tables, const QString &code)
{
    bool isNumber = false;
    const int k = code.trimmed().toInt(&isNumber);
    return isNumber ? tables.venueName(k) : QString();
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
    QString venueCode;
    bool found = false;

    for (int i = 1; i <= count; ++i) {
        const QString &line = store.line(i);
        if (fields::matchesAt(line, 3, u"KBGN"))
            venueCode = fields::cut(line, 1, 2).toString();

        for (int r = 1; r <= 12; ++r) {
            if (!fields::startsWith(line, tables.raceLabels[static_cast<size_t>(r)]))
                continue;
            const int lastRow = std::min(i + LastRowOffset, count);
            for (int row = i + FirstRowOffset; row <= lastRow; ++row) {
                if (!rowHasPlayer(store.line(row), key))
                    continue;
                if (!found) {
                    result.venue = venueOf(tables, venueCode);
                    result.race1 = favouriteRaceLabel(r);
                    found = true;
                } else {
                    result.race2 = favouriteRaceLabel(r);
                }
            }
            i += RaceSkip;
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
