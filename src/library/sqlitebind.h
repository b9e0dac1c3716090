#pragma once

// Binding values to the index writers' statements, the same way for result and programme
// days.

#include "indexwriter.h"

#include <QStringView>

#include <sqlite3.h>

namespace rusena::library {

/// An empty field is empty text: a null pointer would be SQL NULL.
inline void bindText(sqlite3_stmt *s, int index, QStringView text)
{
    const char16_t *data = text.isNull() ? u"" : text.utf16();
    sqlite3_bind_text16(s, index, data, int(text.size() * 2), SQLITE_STATIC);
}

/// A day's row of `days` or `programme_days`: date, file, stored name, size, digest,
/// venues, races.
inline void bindDayRecord(sqlite3_stmt *s, const DayRecord &record, const QString &date,
    qsizetype venues, qsizetype races)
{
    bindText(s, 1, date);
    bindText(s, 2, record.file);
    bindText(s, 3, record.storedName);
    sqlite3_bind_int64(s, 4, record.size);
    bindText(s, 5, record.digest);
    sqlite3_bind_int(s, 6, int(venues));
    sqlite3_bind_int(s, 7, int(races));
}

} // namespace rusena::library
