#include "sqliteread.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace rusena::library {

namespace {

// The source and the compile options of a SQLite: two that agree lay out a connection
// alike.
QString linkedBuild()
{
    QString build = QString::fromLatin1(sqlite3_sourceid());
    for (int i = 0; const char *option = sqlite3_compileoption_get(i); ++i)
        build += u'\n' + QString::fromLatin1(option);
    return build;
}

QString driverBuild(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_source_id()")) || !q.next())
        return {};
    QString build = q.value(0).toString();
    if (!q.exec(QStringLiteral("PRAGMA compile_options")))
        return {};
    while (q.next())
        build += u'\n' + q.value(0).toString();
    return build;
}

} // namespace

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    // Every Qt SQLite connection of the process comes from the same driver: asked once.
    static const bool sameBuild = driverBuild(db) == linkedBuild();
    return sameBuild ? *static_cast<sqlite3 *const *>(handle.constData()) : nullptr;
}

ReadStatement::ReadStatement(const QSqlDatabase &db, const char *sql)
    : m_db(sqliteHandle(db))
{
    if (!m_db)
        m_error = QStringLiteral(
            "Qt の SQLite がこのプログラムのものと異なるため、ライブラリを読めません");
    else if (sqlite3_prepare_v2(m_db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
}

ReadStatement::~ReadStatement()
{
    sqlite3_finalize(m_statement);
}

void ReadStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void ReadStatement::bind(int index, QStringView text)
{
    sqlite3_bind_text16(m_statement, index, text.isNull() ? u"" : text.utf16(),
        int(text.size() * 2), SQLITE_TRANSIENT);
}

bool ReadStatement::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return rc == SQLITE_ROW;
}

void ReadStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

qint64 ReadStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::optional<int> ReadStatement::optionalInt(int column) const
{
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int(m_statement, column);
}

QString ReadStatement::text(int column) const
{
    // In the index's encoding (UTF-16) SQLite hands the text over as it lies.
    const void *data = sqlite3_column_text16(m_statement, column);
    return QString(
        static_cast<const QChar *>(data), sqlite3_column_bytes16(m_statement, column) / 2);
}

} // namespace rusena::library
