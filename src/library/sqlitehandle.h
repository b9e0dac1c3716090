#pragma once

class QSqlDatabase;
struct sqlite3;

namespace rusena::library {

/// The SQLite connection under an open QSQLITE database, for the bulk work (an import
/// writes, an export reads some half a million rows) where a statement stepped directly
/// is several times faster than QSqlQuery. Null for any other driver.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

/// Turns SQLite's memory statistics off before its first use in the process: nothing
/// reads them, and keeping them takes a global lock on every allocation. Does nothing
/// once SQLite has started.
void configureSqlite();

} // namespace rusena::library
