#pragma once

class QSqlDatabase;
struct sqlite3;

namespace rusena::library {

/// The SQLite connection under an open QSQLITE database, for the bulk work (an import
/// writes, an export reads some half a million rows) where a statement stepped directly
/// is several times faster than QSqlQuery. Null for any other driver.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

} // namespace rusena::library
