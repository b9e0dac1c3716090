#pragma once

#include "daykind.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace rusena::library {

class DayFiles;
class SqliteConnection;

/// What the full check of the index found.
struct IndexCheck final {
    bool readable = false; ///< SQLite reads every page and finds them sound
    int version = 0; ///< its user_version
    /// Days whose raw file and index rows disagree, results then programmes.
    QList<std::pair<DayKind, QDate>> daysToFile;
    QStringList findings; ///< what is wrong, in words for the user

    bool sound(int schemaVersion) const
    {
        return readable && version == schemaVersion && daysToFile.isEmpty();
    }
};

/// Reads the whole index (SQLite's quick check) and, when it is sound and of `schemaVersion`,
/// compares every raw day file (results and programmes) with what the index says of it (the digest
/// of its bytes): a day file edited by hand, removed, replaced by a folder, or put in without an
/// import is found.
IndexCheck checkIndex(SqliteConnection &db, const DayFiles &files, int schemaVersion);

} // namespace rusena::library
