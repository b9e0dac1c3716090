#pragma once

#include "command.h"

#include "library/querycommands.h"

#include <QSqlDatabase>

namespace rusena::tool {

/// The query commands' runner, as the library module provides them.
using QueryRunner = int (*)(const QStringList &arguments, const library::OpenLibraryFn &open,
    QIODevice &out, QTextStream &err);

/// Runs a query on the library of the context's data folder and writes its CSV to the
/// standard output, byte for byte.
int runQueryCommand(CommandContext &context, QueryRunner run);

} // namespace rusena::tool
