#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace rusena::dump {

/// What the command line asked for.
struct DumpRequest final {
    QByteArray fileBytes; ///< the result file, read whole
    std::optional<int> favourite; ///< --favourite N, 0..9999
    int mode = 1; ///< --mode M, 1 or 2
};

/// Runs the fixed script on a fresh core in a private data folder below `root` and returns
/// the JSON document. An empty optional when the data folder could not be prepared.
std::optional<QByteArray> runScript(const DumpRequest &request, const QString &root);

} // namespace rusena::dump
