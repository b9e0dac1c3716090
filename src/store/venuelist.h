#pragma once

#include <QStringList>

namespace rusena {

class LineStore;
struct NameTables;

/// Appends to `items` the venue of every section begin line, in file order, up to the
/// day end line. Begin lines with no code, or a code outside 1..VenueCount, are skipped.
void fillVenueList(const LineStore &store, const NameTables &tables, QStringList &items);

} // namespace rusena
