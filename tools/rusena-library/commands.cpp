#include "command.h"

#include "store/resultlayout.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

const QList<Command> &commands()
{
    static const QList<Command> table {
        { u"import"_s, u"結果ファイル、番組表と LZH 書庫を取り込みます (ファイルかフォルダ)。"_s,
            &runImport },
        { u"fetch"_s, u"主催者のサイトから新しい日の書庫を取得して取り込みます。"_s, &runFetch },
        { u"list"_s, u"登録済みの日を一覧します。"_s, &runList },
        { u"check"_s, u"索引全体と日のファイルを検査し、違いを直します。"_s, &runCheck },
        { u"rebuild"_s, u"登録済みの日のファイルから索引を作り直します。"_s, &runRebuild },
        { u"export"_s, u"ライブラリ全体を CSV ファイルに書き出します (成績四つ、番組表三つ)。"_s,
            &runExport },
        { u"history"_s, u"選手の出走を CSV で書きます。"_s, &runHistory },
        { u"stats"_s, u"場とコース別の成績を CSV で書きます。"_s, &runStats },
        { u"venues"_s, u"%1 場の場コードと場名を書きます。"_s.arg(layout::VenueCount), &runVenues },
        { u"form"_s, u"番組表の 1 レースの各選手の成績を CSV で書きます。"_s, &runForm },
    };
    return table;
}

} // namespace rusena::tool
