#pragma once

#include "command.h"

#include <QCommandLineParser>

namespace rusena::tool {

/// Parses a command's own arguments, with --help. False when the command is not to run:
/// `status` is then its exit status (0 after --help, BadArguments after an error, the
/// message written to the error stream).
bool parseCommand(QCommandLineParser &parser, CommandContext &context, int &status);

} // namespace rusena::tool
