#include "storedspan.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace rusena::library {

QueryResult<DaySpan> storedSpan(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MIN(date), MAX(date) FROM days")))
        return QueryResult<DaySpan>::failure(q.lastError().text());
    if (!q.next())
        return QueryResult<DaySpan>::success({});
    return QueryResult<DaySpan>::success({ QDate::fromString(q.value(0).toString(), Qt::ISODate),
        QDate::fromString(q.value(1).toString(), Qt::ISODate) });
}

} // namespace rusena::library
