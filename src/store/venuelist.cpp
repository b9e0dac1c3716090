#include "venuelist.h"

#include "fields.h"
#include "linestore.h"
#include "nametables.h"

namespace rusena {

namespace {

// Characters 1 and 2 of a begin line as a venue number; a blank around the digit is
// allowed ("03", " 3", "3 "). 0 when they are no number.
int venueNumber(QStringView code)
{
    bool ok = false;
    const int k = code.trimmed().toInt(&ok);
    return ok && code.size() == 2 && !code.trimmed().isEmpty() ? k : 0;
}

} // namespace

void fillVenueList(const LineStore &store, const NameTables &tables, QStringList &items)
{
    for (int i = 1; i <= LineStore::MaxResultLines && i <= store.count(); ++i) {
        const QString &line = store.line(i);
        if (fields::matchesAt(line, 3, u"KBGN")) {
            const int k = venueNumber(fields::cut(line, 1, 2));
            if (k >= 1 && k <= 24)
                items.append(tables.venueName(k));
        }
        if (fields::startsWith(line, u"FINALK"))
            break;
    }
}

} // namespace rusena
