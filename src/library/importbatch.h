#pragma once

#include "library.h"
#include "sourcequeue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace rusena::library {

/// One line of a batch's report: a day file (a text file, or a member of an archive)
/// and what filing it did, or an archive that could not be used at all. Its texts are for
/// showing: control characters in them are written as "\xHH", so that a name from an
/// archive can neither drive a terminal nor forge a line of the report.
struct ImportLine final {
    QString source; ///< the path as given or found
    QString member; ///< the archive member's name, empty for a text file
    DayImport outcome;
};

/// What a batch did, for the summary.
struct BatchReport final {
    QList<ImportLine> lines;
    int sourcesDone = 0; ///< files finished (every day of an archive counted with it)
    bool cancelled = false;

    int count(DayImport::Result result) const;
    /// The same among the days of one kind (a failed line counts as a result day's).
    int count(DayImport::Result result, DayKind kind) const;
    /// The latest date among the result days now stored, invalid when there is none: a
    /// programme day is never the day on show.
    QDate latestDay() const;
};

/// `text` with each control character written as "\xHH": a name from an archive or a folder,
/// printed as it is, could drive a terminal or forge a line of a report.
QString escapeControls(const QString &text);

/// Called before each source file: files done, files in all. Returns false to cancel.
using BatchProgress = std::function<bool(int done, int total)>;

/// The files a list of paths names: files as given; for a folder, the day files (name
/// beginning with K or B, either case) and LZH archives in it and below it, sorted by path.
/// `strays`, where given, receives the folders' other files, which are not read.
QStringList collectSources(const QStringList &paths, QStringList *strays = nullptr);

/// The report line of a file passed over because it is no day file (対象外): a stray file
/// in a folder, or a read-me in an archive. Not a failure.
ImportLine ignoredLine(const QString &source, const QString &member = {});

/// Files every day of `sources` into the library, one file after the other, holding its
/// write lock throughout; a cancel keeps the days finished so far.
BatchReport importSources(
    Library &library, const QStringList &sources, const BatchProgress &progress = {});

} // namespace rusena::library
