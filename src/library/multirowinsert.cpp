#include "multirowinsert.h"

#include <QtGlobal>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace rusena::library {

MultiRowInsert::MultiRowInsert(const char *table, const char *columns)
    : m_table(table)
    , m_columns(columns)
    , m_columnCount(1 + int(std::count(columns, columns + std::strlen(columns), ',')))
{
}

MultiRowInsert::~MultiRowInsert()
{
    for (sqlite3_stmt *s : m_statements)
        sqlite3_finalize(s);
}

sqlite3_stmt *MultiRowInsert::forRows(sqlite3 *db, int rows)
{
    Q_ASSERT(rows >= 1 && rows <= MaxRows);
    if (m_statements[rows])
        return m_statements[rows];
    std::string row = "(?";
    for (int i = 1; i < m_columnCount; ++i)
        row += ", ?";
    row += ')';
    std::string sql
        = std::string("INSERT OR FAIL INTO ") + m_table + ' ' + m_columns + " VALUES " + row;
    for (int i = 1; i < rows; ++i)
        sql += ", " + row;
    if (sqlite3_prepare_v3(db, sql.c_str(), int(sql.size()), SQLITE_PREPARE_PERSISTENT,
            &m_statements[rows], nullptr)
        != SQLITE_OK)
        return nullptr;
    return m_statements[rows];
}

} // namespace rusena::library
