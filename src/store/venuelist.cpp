#include "venuelist.h"

#include "linestore.h"
#include "nametables.h"
#include "resultlayout.h"

namespace rusena {

void fillVenueList(const LineStore &store, const NameTables &tables, QStringList &items)
{
    for (int i = 1; i <= LineStore::MaxResultLines && i <= store.count(); ++i) {
        const QString &line = store.line(i);
        if (layout::isSectionBegin(line)) {
            const int code = layout::venueCode(line);
            if (code >= 1 && code <= layout::VenueCount)
                items.append(tables.venueName(code));
        }
        if (layout::isDayEnd(line))
            break;
    }
}

} // namespace rusena
