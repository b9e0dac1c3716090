#pragma once

// The tool's commands. Each lives in a file of its own and registers itself with one line:
//
//     static const bool registered = registerCommand({u"list"_s, u"..."_s, &runList});

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace rusena::tool {

/// What every command is given: its arguments (after its name), the data folder and
/// the two output streams.
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

/// Adds a command; returns true so that it can initialise a static.
bool registerCommand(const Command &command);
/// The commands, sorted by name.
QList<Command> commands();

/// Exit status of a command line that cannot be run as given.
inline constexpr int BadArguments = 2;

} // namespace rusena::tool
