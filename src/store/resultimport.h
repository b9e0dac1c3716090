#pragma once

#include "outcome.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace rusena {

struct DataFolder;

/// True when a file with this name (no folder) may be imported: it begins with K or k.
bool isResultFileName(const QString &fileName);

/// Reads and checks the chosen file (a regular file of at most MaxResultLines lines and
/// MaxDayBytes bytes), then replaces racek.dat atomically with its bytes. On any failure
/// racek.dat is left as it was and the warning for the user is returned: the file's own,
/// or the data folder's when the file was fine but could not be stored.
Outcome copyResultFile(
    const QString &sourcePath, const QString &fileName, const DataFolder &folder);

/// The same for any source (opened here for reading when it is not open yet); a read
/// that fails part-way is a failure like any other.
Outcome copyResultData(QIODevice &source, const QString &fileName, const DataFolder &folder);

/// The warning shown when the chosen file cannot be read or is no day.
Message importErrorMessage();

} // namespace rusena
