#include "sqlitehandle.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

namespace rusena::library {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

} // namespace rusena::library
