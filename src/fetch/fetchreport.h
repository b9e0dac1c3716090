#pragma once

#include "fetchplan.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace rusena::fetch {

/// What became of one archive of one date (a line per day file it held).
struct FetchLine final {
    enum class Result { Added, Replaced, Unchanged, NotPublished, Failed };
    Slot slot;
    Result result = Result::Failed;
    QString reason; ///< why it failed, in words for the user
};

/// What a fetch did, for the summary.
struct FetchReport final {
    QList<FetchLine> lines;
    int held = 0; ///< archives not asked for: the library holds them whole
    int requests = 0; ///< HTTP requests sent, redirects and retries included
    bool cancelled = false;
    QString error; ///< set when the library could not be opened: nothing was fetched

    int count(FetchLine::Result result) const;
    bool failed() const { return !error.isEmpty() || count(FetchLine::Result::Failed) > 0; }
    /// The latest date whose results are now stored, invalid when there is none.
    QDate latestResultDay() const;
};

/// "2020-01-03 競走成績: 追加", and for a failure its reason.
QString lineText(const FetchLine &line);
/// One line with the count of each result.
QString summaryText(const FetchReport &report);

} // namespace rusena::fetch

Q_DECLARE_METATYPE(rusena::fetch::FetchLine)
