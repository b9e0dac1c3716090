#pragma once

#include "outcome.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace rusena {

struct DataFolder;

/// True when a file with this name (no folder) may be imported: it begins with K or k.
bool isResultFileName(const QString &fileName);

/// Reads and checks the chosen file, then replaces racek.dat atomically with its bytes.
/// On any failure racek.dat is left as it was and the warning for the user is returned.
Outcome copyResultFile(
    const QString &sourcePath, const QString &fileName, const DataFolder &folder);

/// The same for any source (opened here for reading when it is not open yet); a read
/// that fails part-way is a failure like any other.
Outcome copyResultData(QIODevice &source, const QString &fileName, const DataFolder &folder);

/// The warning shown when a file cannot be imported.
Message importErrorMessage();

} // namespace rusena
