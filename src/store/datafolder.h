#pragma once

#include "outcome.h"

#include <QString>

namespace rusena {

/// The fixed data folder (DataFolder) inside its top folder, with the two files it holds.
/// Tests and tools build one on a temporary directory; only the program uses standard().
struct DataFolder final {
    QString top; ///< the top folder, e.g. $HOME/競艇データ
    QString data; ///< DataFolder, e.g. $HOME/競艇データ/ルセナデータ

    /// The program's one fixed folder for this platform.
    static DataFolder standard();
    /// A data folder laid out below `root` the same way as the standard one.
    static DataFolder below(const QString &root);

    QString racekPath() const;
    QString playerPath() const;

    /// Creates the top folder when missing. False when it cannot be made.
    bool ensureTop() const;
    /// Creates the data folder (and the top folder) when missing. False when it cannot be made.
    bool ensureData() const;
};

/// The warning shown when the data folder cannot be made.
Message folderCreateFailedMessage();
/// The warning shown when a file of the data folder cannot be written.
Message folderWriteFailedMessage();

} // namespace rusena
