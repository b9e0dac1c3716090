#pragma once

#include "library/queryresult.h"

#include <QDate>

class QSqlDatabase;

namespace rusena::library {

/// The oldest and the newest stored day; both null in an empty library.
struct DaySpan final {
    QDate first;
    QDate last;
};

QueryResult<DaySpan> storedSpan(const QSqlDatabase &db);

} // namespace rusena::library
