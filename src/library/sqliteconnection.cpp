#include "sqliteconnection.h"

#include <QDir>
#include <QUrl>

#include <sqlite3.h>

namespace rusena::library {

SqliteConnection::~SqliteConnection()
{
    close();
}

bool SqliteConnection::fail()
{
    const int code = m_db ? sqlite3_extended_errcode(m_db) & 0xff : SQLITE_CANTOPEN;
    m_busy = code == SQLITE_BUSY || code == SQLITE_LOCKED;
    m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                   : QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
    return false;
}

bool SqliteConnection::open(const QString &path, Mode mode, int busyTimeoutMs)
{
    close();
    configureSqlite();
    m_error.clear();
    m_busy = false;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    QString name = path;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;
    if (mode == Mode::Immutable) {
        // A WAL-mode file in a folder that cannot be written opens only this way: a plain
        // open and mode=ro both want the -shm file beside it.
        flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
        name = uri(path, QStringLiteral("immutable=1"));
    }
    const int rc = sqlite3_open_v2(QFile::encodeName(name).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                       : QString::fromUtf8(sqlite3_errstr(rc));
        m_busy = (rc & 0xff) == SQLITE_BUSY;
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    return true;
}

void SqliteConnection::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SqliteConnection::exec(const char *sql)
{
    if (!m_db)
        return fail();
    m_busy = false;
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail();
}

bool SqliteConnection::intValue(const char *sql, int &value)
{
    if (!m_db)
        return fail();
    m_busy = false;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK)
        return fail();
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW)
        value = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    return rc == SQLITE_ROW || fail();
}

bool SqliteConnection::hasMoved() const
{
    int moved = 0;
    if (!m_db || sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK)
        return false;
    return moved != 0;
}

QString SqliteConnection::uri(const QString &path, const QString &options)
{
    // Percent-encoded, so that a folder name holding '?', '#' or '%' stays a path.
    QUrl url = QUrl::fromLocalFile(QDir::cleanPath(QDir(path).absolutePath()));
    url.setQuery(options);
    return QString::fromUtf8(url.toEncoded());
}

void configureSqlite()
{
    static const int once = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(once);
}

} // namespace rusena::library
