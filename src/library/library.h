#pragma once

// The race library: every imported day kept as its raw file in days/ (the truth) and
// indexed in library.sqlite beside it for the queries. The index is opened on first use
// (start-up never touches it), checked, and rebuilt from the raw files whenever it is of
// another schema version or fails its check; it is never used half-built.

#include "dayfiles.h"
#include "dayrows.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

namespace rusena::library {

class IndexWriter;

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
    DayRows rows; ///< empty for a file over MaxDayBytes, which is never parsed
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

class Library final {
public:
    /// How long a write waits for another program holding the library.
    static constexpr int BusyTimeoutMs = 5000;

    explicit Library(QString dataFolder);
    ~Library();

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

    /// Makes the index anew from the raw day files.
    Status rebuild(const RebuildProgress &progress = {});
    /// The stored days, newest first; empty when the library cannot be opened.
    QList<StoredDay> storedDays();

    /// The dates under which days of this digest are filed, oldest first.
    QList<QDate> datesOfDigest(const QString &digest);

private:
    Status openConnection();
    Status checkIndex(bool &usable);
    Status createSchema();
    Status createIndexes();
    Status fileRawDay(const QDate &date, const QString &file, const QByteArray &bytes);
    QString storedDigest(const QDate &date);

    QString m_dataFolder;
    DayFiles m_files;
    QString m_connection;
    std::unique_ptr<IndexWriter> m_writer;
    bool m_open = false;
    bool m_created = false;
};

} // namespace rusena::library
