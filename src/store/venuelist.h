#pragma once

#include <QStringList>

namespace rusena {

class LineStore;
struct NameTables;

/// Appends to `items` the venue of every section begin line, in file order, up to the
/// FINALK line. Begin lines whose code is not 1..24 are skipped.
void fillVenueList(const LineStore &store, const NameTables &tables, QStringList &items);

} // namespace rusena
