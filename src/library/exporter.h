#pragma once

#include "library.h"

#include <QString>

namespace rusena::library {

/// Writes the whole library as days.csv, races.csv, entries.csv and payouts.csv, and its
/// programme days as programme_days.csv, programmes.csv and programme_entries.csv, in
/// `folder` (made when missing), each replaced atomically.
Status exportLibrary(Library &library, const QString &folder);

} // namespace rusena::library
