#include "period.h"

#include "store/nametables.h"

namespace rusena::library {

QString venueName(int code)
{
    static const NameTables tables = [] {
        NameTables t;
        fillNameTables(t);
        return t;
    }();
    return tables.venueName(code);
}

} // namespace rusena::library
