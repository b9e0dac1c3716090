#pragma once

#include "command.h"

#include <QCommandLineParser>
#include <QDate>

#include <memory>

namespace rusena::library {
class Library;
}

namespace rusena::tool {

/// Parses a command's own arguments, with --help, and checks that the number of
/// positional arguments lies within `least`..`most`. False when the command is not to
/// run: `status` is then its exit status (0 after --help, BadArguments after an error,
/// the message written to the error stream).
bool parseCommand(QCommandLineParser &parser, CommandContext &context, int &status,
    qsizetype least = 0, qsizetype most = 0);

/// The parser's help with `program` (as "rusena-library history") in its usage line in place
/// of the path the program was started by.
QString helpText(const QCommandLineParser &parser, const QString &program);

/// A date as YYYY-MM-DD; false (with the complaint written: another shape, or a date
/// that does not exist) when it is none.
bool readDate(const QString &text, QDate &date, QTextStream &err);

/// The value of an option given at most once; false (with the message written) when it
/// was given twice.
bool singleValue(const QCommandLineParser &parser, const QString &option, CommandContext &context,
    QString &value);

/// The library of the data folder, opened for a command that only reads it: a folder
/// that holds no library is not given one. Null (with the message written and `status`
/// set to 1) when there is none or it cannot be opened.
std::unique_ptr<library::Library> openForReading(CommandContext &context, int &status);

} // namespace rusena::tool
