#pragma once

// The query commands: `history PLAYER [--from D] [--to D]` and
// `stats [--venue CODE] [--from D] [--to D]`. Arguments are checked before the library is
// opened, so that a bad one writes nothing to standard output; the CSV goes to standard
// output row by row as the contract defines it.

#include "command.h"

#include "library/period.h"

class QIODevice;
class QSqlDatabase;

namespace rusena::tool {

struct HistoryArgs final {
    QString player; ///< a registration number, or part of a name
    library::Period period;
};

/// The command's arguments from `context`; false when it is not to run, `status` then
/// its exit status (the message written, or the help after --help).
bool parseHistoryArgs(CommandContext &context, HistoryArgs &args, int &status);
bool parseStatsArgs(CommandContext &context, library::Period &period, int &status);

/// Writes history.csv or stats.csv to `out`; returns the exit status: 0, BadArguments for
/// a name that fits no player or several (they are listed on `err`), 1 when the query or
/// the write failed. A period or player without rows gets a note on `err`.
int writeHistoryCsv(
    const QSqlDatabase &db, const HistoryArgs &args, QIODevice &out, QTextStream &err);
int writeStatsCsv(
    const QSqlDatabase &db, const library::Period &period, QIODevice &out, QTextStream &err);

} // namespace rusena::tool
