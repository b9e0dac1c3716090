#pragma once

// The query commands of rusena-library: `history REG [--from D] [--to D]` and
// `stats [--venue CODE] [--from D] [--to D]`. Arguments are checked before the library is
// opened, so that a bad one writes nothing to standard output.

#include "library/period.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

class QIODevice;
class QSqlDatabase;
class QTextStream;

namespace rusena::library {

struct HistoryArgs final {
    QString reg;
    Period period;
};

/// Why the arguments were refused, for standard error (exit status 2).
struct BadArguments final {
    QString message;
};

/// `args` are those after the command's name.
std::variant<HistoryArgs, BadArguments> parseHistoryArgs(const QStringList &args);
std::variant<Period, BadArguments> parseStatsArgs(const QStringList &args);

/// Writes history.csv or stats.csv to `out`. Returns "" on success, else why the query
/// or the write failed (exit status 1).
QString writeHistoryCsv(const QSqlDatabase &db, const HistoryArgs &args, QIODevice &out);
QString writeStatsCsv(const QSqlDatabase &db, const Period &period, QIODevice &out);

QString historyUsage();
QString statsUsage();

/// Opens the library for a command; on failure returns nothing and sets `why`.
using OpenLibraryFn = std::function<std::optional<QSqlDatabase>(QString &why)>;

/// The whole `history` and `stats` commands: arguments checked first (bad ones: message on
/// `err`, nothing on `out`, status 2), then the library opened and the CSV written
/// (status 0), or the failure told on `err` (status 1). `--help` prints the usage.
int runHistoryCommand(
    const QStringList &args, const OpenLibraryFn &open, QIODevice &out, QTextStream &err);
int runStatsCommand(
    const QStringList &args, const OpenLibraryFn &open, QIODevice &out, QTextStream &err);

} // namespace rusena::library
