#pragma once

#include <array>

struct sqlite3;
struct sqlite3_stmt;

namespace rusena::library {

/// "INSERT OR FAIL INTO table (columns) VALUES (...), (...)" for 1..MaxRows rows, each
/// prepared on first use and kept: a race's six placing rows go in one statement instead
/// of one a row, which saves SQLite most of its cost a statement. OR FAIL, because a
/// statement of several rows that may abort half-way needs a journal of its own to undo
/// its first rows; a failure here rolls the whole day back anyway.
class MultiRowInsert final {
public:
    static constexpr int MaxRows = 8;

    /// `columns` is the parenthesised column list.
    MultiRowInsert(const char *table, const char *columns);
    ~MultiRowInsert();
    MultiRowInsert(const MultiRowInsert &) = delete;
    MultiRowInsert &operator=(const MultiRowInsert &) = delete;

    /// The statement for `rows` rows (1..MaxRows), its parameters numbered row after row;
    /// null when SQLite cannot prepare it (the connection's error says why).
    sqlite3_stmt *forRows(sqlite3 *db, int rows);
    int columnCount() const { return m_columnCount; }

private:
    const char *m_table;
    const char *m_columns;
    int m_columnCount;
    std::array<sqlite3_stmt *, MaxRows + 1> m_statements {};
};

} // namespace rusena::library
