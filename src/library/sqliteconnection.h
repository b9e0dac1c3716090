#pragma once

#include <QString>

struct sqlite3;

namespace rusena::library {

/// A connection of the library's own to its index, opened through SQLite's C API, for the
/// bulk work (an import writes, an export reads some half a million rows) where a statement
/// stepped directly is several times faster than QSqlQuery. Qt's driver handle is never
/// used for this: Qt may carry a copy of SQLite of its own, and one copy's handle must not
/// reach the other's functions (sqliteHandle() lends it to queries only when both agree).
class SqliteConnection final {
public:
    enum class Mode {
        ReadWrite, ///< an existing file
        Create, ///< made when absent
        Immutable, ///< read-only, in a folder nobody writes: no lock, no -wal or -shm
    };

    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    /// False with error() set when the file cannot be opened.
    bool open(const QString &path, Mode mode, int busyTimeoutMs);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    /// Runs SQL without results; false with error() set on failure.
    bool exec(const char *sql);
    /// The first column of the first row of `sql`; false with error() set on failure.
    bool intValue(const char *sql, int &value);
    QString error() const { return m_error; }
    /// True when the last failure was another process holding the lock too long.
    bool wasBusy() const { return m_busy; }

    /// True when the file this connection reads was removed or renamed over since it was
    /// opened (another process made the index anew): the connection must be opened again.
    bool hasMoved() const;

    /// A `file:` URI naming `path`, for opening with URI options.
    static QString uri(const QString &path, const QString &options);

private:
    bool fail();

    sqlite3 *m_db = nullptr;
    QString m_error;
    bool m_busy = false;
};

/// Turns SQLite's memory statistics off before its first use in the process: nothing
/// reads them, and keeping them takes a global lock on every allocation. Does nothing
/// once SQLite has started.
void configureSqlite();

} // namespace rusena::library
