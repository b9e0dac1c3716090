#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

namespace rusena::library {

/// The SQLite connection under a Qt database, for statements stepped through SQLite's C
/// API; null when Qt's driver runs a SQLite other than the one this program links (a
/// different source or build), whose connections this program's SQLite must not touch.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

/// A query read a row at a time through SQLite's C API on the connection under a Qt
/// database. A player's history is thousands of rows: QSqlQuery wraps every value of
/// every row in a QVariant, which costs more than SQLite's own work on them.
class ReadStatement final {
public:
    ReadStatement(const QSqlDatabase &db, const char *sql);
    ~ReadStatement();
    ReadStatement(const ReadStatement &) = delete;
    ReadStatement &operator=(const ReadStatement &) = delete;

    void bind(int index, qint64 value);
    void bind(int index, QStringView text);
    /// Steps to the next row: false at the end, and on failure with error() set.
    bool next();
    /// Starts again from the first row, with the bound values cleared.
    void reset();
    /// Empty while the statement is sound; else the database's reason.
    QString error() const { return m_error; }

    qint64 integer(int column) const;
    std::optional<int> optionalInt(int column) const;
    QString text(int column) const;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    QString m_error;
};

} // namespace rusena::library
