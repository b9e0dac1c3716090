// resultdump: drives the viewer's core through a fixed script (open the day, optionally
// search the favourite, click every race of every venue) and prints the main window's
// state after each step as JSON, for golden tests and cross-checks.

#include "dumpscript.h"
#include "store/linestore.h"
#include "store/regularfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int BadUsage = 2;
constexpr int WriteFailed = 1;

int fail(const QString &why, int code = BadUsage)
{
    std::fprintf(stderr, "resultdump: %s\n", qUtf8Printable(why));
    return code;
}

std::optional<int> numberIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

struct Arguments final {
    std::optional<int> favourite;
    int mode = 1;
    QString file;
    bool help = false;
};

// Parses the command line; on failure returns the one-line reason in `error`.
std::optional<Arguments> parse(QCommandLineParser &parser, QString &error)
{
    parser.setApplicationDescription(u"Prints what the viewer shows for every race of a "
                                     "result file, as JSON."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption favourite(u"favourite"_s,
        u"Registers player N (0 to 9999) as the favourite and searches for them."_s, u"N"_s);
    const QCommandLineOption mode(u"mode"_s,
        u"Text box setting: 1 shows the whole race, 2 only its payouts (default 1)."_s, u"M"_s);
    parser.addOptions({ favourite, mode });
    parser.addPositionalArgument(u"FILE"_s, u"The result file to open."_s);

    if (!parser.parse(QCoreApplication::arguments())) {
        error = parser.errorText();
        return std::nullopt;
    }
    Arguments parsed;
    if (parser.isSet(help)) {
        parsed.help = true;
        return parsed;
    }
    if (parser.isSet(favourite)) {
        parsed.favourite = numberIn(parser.value(favourite), 0, 9999);
        if (!parsed.favourite) {
            error = u"--favourite takes a number from 0 to 9999, not \"%1\""_s.arg(
                parser.value(favourite));
            return std::nullopt;
        }
    }
    if (parser.isSet(mode)) {
        const auto m = numberIn(parser.value(mode), 1, 2);
        if (!m) {
            error = u"--mode takes 1 or 2, not \"%1\""_s.arg(parser.value(mode));
            return std::nullopt;
        }
        parsed.mode = *m;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        error = files.isEmpty() ? u"usage: resultdump [--favourite N] [--mode M] FILE"_s
                                : u"only one FILE may be given"_s;
        return std::nullopt;
    }
    parsed.file = files.constFirst();
    return parsed;
}

// Writes all of `bytes` to standard output. A short write, or a flush that fails (a full
// disk, a closed pipe), must not pass for a complete document.
bool writeOut(const QByteArray &bytes)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0
        && !std::ferror(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"resultdump"_s);

    QCommandLineParser parser;
    QString error;
    const std::optional<Arguments> args = parse(parser, error);
    if (!args)
        return fail(error);
    if (args->help)
        return writeOut(parser.helpText().toUtf8()) ? 0
                                                    : fail(u"cannot write the help"_s, WriteFailed);

    // The viewer's limits: a regular file, no larger than any day can be.
    QFile file(args->file);
    if (!rusena::openRegularFile(file))
        return fail(u"cannot read %1: not a regular file that can be opened"_s.arg(args->file));
    constexpr qint64 Limit = rusena::LineStore::MaxDayBytes;
    rusena::dump::DumpRequest request;
    request.fileBytes = rusena::readAtMost(file, Limit + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(u"cannot read %1: %2"_s.arg(args->file, file.errorString()));
    if (request.fileBytes.size() > Limit)
        return fail(u"%1 is larger than any day file (%2 MiB)"_s.arg(args->file).arg(Limit >> 20));
    request.favourite = args->favourite;
    request.mode = args->mode;

    // Never the user's own data folder: a private one that disappears with the run.
    QTemporaryDir root;
    if (!root.isValid())
        return fail(u"cannot create a temporary folder: %1"_s.arg(root.errorString()));

    const std::optional<QByteArray> json = rusena::dump::runScript(request, root.path());
    if (!json)
        return fail(u"cannot prepare the private data folder below %1"_s.arg(root.path()));
    if (!writeOut(*json)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        return fail(u"cannot write the output: %1"_s.arg(why), WriteFailed);
    }
    return 0;
}
