#pragma once

#include "library/importbatch.h"
#include "store/outcome.h"

namespace rusena {

/// The one message that ends a batch import: days added, replaced, unchanged, the files
/// skipped with their reasons, and for a cancelled batch how many days were finished.
Message importSummaryMessage(const library::BatchReport &report);

/// The warning shown when the library cannot be used (opened, written, rebuilt).
Message libraryErrorMessage(const QString &reason);

/// What to do with a library that holds no day yet.
QString emptyLibraryHint();

/// The warning shown when a day opened on its own is on show but could not be filed.
Message notFiledMessage(const QString &reason);

} // namespace rusena
