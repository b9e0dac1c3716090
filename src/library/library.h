#pragma once

// The race library: every imported day kept as its raw file in days/ (the truth) and
// indexed in library.sqlite beside it for the queries. The index is opened on first use
// (start-up never touches it) and rebuilt from the raw files whenever it is of another
// schema version or fails its check; it is never used half-built. Opening reads a few
// pages: the whole file is checked only when the stamp an orderly close left says the
// files changed since, after a process writing it died, and on demand (check()).
//
// One process at a time writes (the write lock): it imports days or makes the index anew
// in the live file, so that another process holding the index open keeps reading it.

#include "dayfiles.h"
#include "dayrows.h"
#include "indexstamp.h"
#include "programmeparser.h"
#include "sqliteconnection.h"
#include "writelock.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

namespace rusena::library {

class IndexWriter;
struct IndexCheck;
struct DayRecord;

/// Success, or why something failed, in words for the user.
struct Status final {
    QString error;
    bool busy = false; ///< another program held the library too long

    bool ok() const { return error.isEmpty(); }
};

/// What filing one day file did.
struct DayImport final {
    /// Ignored: a file that is no day file (a read-me in an archive, a stray file in a
    /// folder), passed over; not a failure.
    enum class Result { Added, Replaced, Unchanged, Failed, Ignored };
    Result result = Result::Failed;
    QDate date;
    QString reason; ///< why it was skipped or failed
    DayKind kind = DayKind::Result;

    bool stored() const
    {
        return result == Result::Added || result == Result::Replaced || result == Result::Unchanged;
    }
};

/// A day file read, parsed and hashed: all that filing it needs besides the library.
/// Made on any thread, so that a batch prepares the next day while one is stored.
struct PreparedDay final {
    QString fileName;
    QByteArray bytes;
    std::optional<DayKind> kind; ///< none for a file that is no day
    DayRows rows; ///< a result day's; empty for a file over MaxDayBytes, never parsed
    ParsedProgramme programme; ///< a programme day's
    QString digest;
};

/// What tells a day file's bytes from other bytes: BLAKE2b-160 in hex, twice as fast as
/// SHA-1 here, and as good at telling files apart.
QString dayDigest(QByteArrayView bytes);

PreparedDay prepareDay(QString fileName, QByteArray bytes);

/// A stored day as the day picker lists it.
struct StoredDay final {
    QDate date;
    QString file;
    int venues = 0;
    int races = 0;
};

/// Called as a rebuild advances: days done, days in all, the day just done.
using RebuildProgress = std::function<void(int done, int total, const QDate &date)>;

/// What the check on demand found, and whether the library is sound now.
struct CheckReport final {
    Status status; ///< failure when the library could not be checked or mended
    QStringList findings; ///< what was wrong, in words; empty for a sound library
};

class Library final {
public:
    /// How long a write waits for another program holding the library.
    static constexpr int BusyTimeoutMs = 5000;
    /// How long opening waits for another process that is making the index anew.
    static constexpr int RebuildWaitMs = 120000;

    explicit Library(QString dataFolder);
    ~Library();

    const QString &dataFolder() const { return m_dataFolder; }
    QString indexPath() const;
    /// True when the data folder holds a library (its index or its stored days). Only
    /// the commands that file days create one; the others leave a folder without one be.
    bool exists() const;
    const DayFiles &dayFiles() const { return m_files; }

    /// Opens the index if it is not open yet, rebuilding it when it must be (then
    /// `progress` is called a day at a time). Every other method opens it this way.
    Status open(const RebuildProgress &progress = {});
    bool isOpen() const { return m_open; }
    /// Closes the index. Its connection belongs to the thread that opened it: a job
    /// closes it where it was opened, before another thread opens it again.
    void close();
    /// True once open() found no index file and made a new one.
    bool wasCreated() const { return m_created; }
    /// The open index, for the queries (opened on first use; invalid when it cannot be).
    QSqlDatabase database();
    /// The library's own SQLite connection to the open index, for bulk reading; null
    /// when it cannot be opened.
    sqlite3 *connection();
    /// True when the data folder cannot be written: the index is only read, never mended.
    bool isReadOnly() const { return m_readOnly; }

    /// Files one day file's bytes under its date (from `fileName`, else from the first
    /// section's header).
    DayImport importDay(const QString &fileName, const QByteArray &bytes);
    DayImport importDay(const PreparedDay &prepared);
    /// Groups the days imported until commitDays() into one commit (see IndexWriter).
    /// Without a group, each day is committed on its own.
    void beginDays();
    /// Commits the group; on failure the group's days are not in the index and the
    /// returned status says why.
    Status commitDays();

    /// For a batch into an empty library, called inside its first group: drops the
    /// query indexes, so that the rows go in without them. False (nothing dropped) when
    /// the library holds a day already.
    bool deferIndexes();
    /// Makes the query indexes again after such a batch.
    Status restoreIndexes();

    /// Makes the index anew from the raw day files. A step that fails stops it: the
    /// index then says it must be made again, and the status names the step.
    Status rebuild(const RebuildProgress &progress = {});
    /// Reads the whole index and every raw day file, and mends what does not agree.
    CheckReport check(const RebuildProgress &progress = {});
    /// Holds the write lock, waiting up to `waitMs`, for a batch of imports; nests.
    Status beginWriting(int waitMs = BusyTimeoutMs);
    void endWriting();
    /// Holds off writers without writing, waiting up to `waitMs`: while held, read
    /// transactions begun on several connections see one state of the library. False
    /// when a writer kept the lock.
    bool holdWriters(int waitMs) { return m_lock.acquire(waitMs); }
    void releaseWriters() { m_lock.release(); }
    /// The stored days, newest first; empty when the library cannot be opened.
    QList<StoredDay> storedDays();
    /// The stored programme days, newest first.
    QList<StoredDay> storedProgrammeDays();

    /// The dates under which days of this digest are filed, oldest first.
    QList<QDate> datesOfDigest(const QString &digest);

private:
    /// A day's raw file as it was before an import replaced it, to be put back when the
    /// index rows for the new bytes are not committed.
    struct Replaced final {
        QDate date;
        DayKind kind;
        std::optional<QByteArray> bytes; ///< nullopt: there was no file
        QString origin;
    };

    Status openWritable(const RebuildProgress &progress);
    Status openReadOnly();
    Status openLocked(const RebuildProgress &progress);
    Status connect(SqliteConnection::Mode mode);
    Status recreateFile();
    Status openQueries();
    Status finishOpen();
    Status mend(const IndexCheck &check, const RebuildProgress &progress);
    Status rebuildLocked(const RebuildProgress &progress, bool recreate);
    Status clearIndex();
    Status fileAllDays(const RebuildProgress &progress);
    Status refile(const QList<std::pair<DayKind, QDate>> &days);
    Status createIndexes();
    Status restoreMissingIndexes();
    Status fileRawDay(
        const QDate &date, DayKind kind, const QString &file, const QByteArray &bytes);
    bool replaceRows(const DayRecord &record, const PreparedDay &prepared);
    DayImport fileDay(const PreparedDay &prepared, const QDate &date);
    void putBack(const QList<Replaced> &files);
    QString storedDigest(const QDate &date, DayKind kind);
    Status writerFailure() const;
    void disconnect();

    QString m_dataFolder;
    DayFiles m_files;
    WriteLock m_lock;
    IndexStamp m_stamp;
    QByteArray m_stampSeen; ///< the stamp as this process last saw or wrote it
    SqliteConnection m_db;
    QString m_connection;
    std::unique_ptr<IndexWriter> m_writer;
    QList<Replaced> m_replaced; ///< the files of the group under way
    bool m_groupHeld = false;
    bool m_open = false;
    bool m_created = false;
    bool m_readOnly = false;
};

} // namespace rusena::library
