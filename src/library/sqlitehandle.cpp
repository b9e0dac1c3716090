#include "sqlitehandle.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

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

void configureSqlite()
{
    static const int once = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(once);
}

} // namespace rusena::library
