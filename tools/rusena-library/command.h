#pragma once

// The tool's commands: each is a run function in a file of its own, listed once in the
// table of commands.cpp (one line a command).

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace rusena::tool {

/// What every command is given: its arguments (after its name), the data folder and
/// the two output streams. A command that writes bytes (CSV) flushes `out` and writes to
/// its device.
struct CommandContext final {
    QStringList arguments; ///< arguments[0] is "rusena-library COMMAND", for the parser
    QString dataFolder;
    QTextStream &out;
    QTextStream &err;
};

struct Command final {
    QString name;
    QString summary;
    int (*run)(CommandContext &context);
};

/// The commands, in the order the help lists them.
const QList<Command> &commands();

/// Exit status of a command line that cannot be run as given.
inline constexpr int BadArguments = 2;

/// The whole tool: `arguments` as main() receives them (the program's name first).
/// Returns the exit status.
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);

int runImport(CommandContext &context);
int runList(CommandContext &context);
int runCheck(CommandContext &context);
int runRebuild(CommandContext &context);
int runExport(CommandContext &context);
int runHistory(CommandContext &context);
int runStats(CommandContext &context);
int runVenues(CommandContext &context);
int runForm(CommandContext &context);
int runFetch(CommandContext &context);

} // namespace rusena::tool
