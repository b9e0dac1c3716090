// resultdump: drives the viewer's core through a fixed script (open the day, optionally
// search the favourite, click every race of every venue) and prints the main window's
// state after each step as JSON, for golden tests and cross-checks.

#include "dumpscript.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int BadUsage = 2;

int fail(const QString &why)
{
    std::fprintf(stderr, "resultdump: %s\n", qUtf8Printable(why));
    return BadUsage;
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
};

// Parses the command line; on failure returns the one-line reason in `error`.
std::optional<Arguments> parse(const QStringList &args, QString &error)
{
    Arguments parsed;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--favourite"_s || arg == u"--mode"_s) {
            if (i + 1 >= args.size()) {
                error = arg + u" needs a value"_s;
                return std::nullopt;
            }
            const QString value = args[++i];
            if (arg == u"--favourite"_s) {
                parsed.favourite = numberIn(value, 0, 9999);
                if (!parsed.favourite) {
                    error = u"--favourite takes a number from 0 to 9999, not \"%1\""_s.arg(value);
                    return std::nullopt;
                }
            } else {
                const auto mode = numberIn(value, 1, 2);
                if (!mode) {
                    error = u"--mode takes 1 or 2, not \"%1\""_s.arg(value);
                    return std::nullopt;
                }
                parsed.mode = *mode;
            }
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            error = u"unknown option %1"_s.arg(arg);
            return std::nullopt;
        } else if (parsed.file.isEmpty()) {
            parsed.file = arg;
        } else {
            error = u"only one FILE may be given"_s;
            return std::nullopt;
        }
    }
    if (parsed.file.isEmpty()) {
        error = u"usage: resultdump [--favourite N] [--mode M] FILE"_s;
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QString error;
    const std::optional<Arguments> args = parse(QCoreApplication::arguments(), error);
    if (!args)
        return fail(error);

    QFile file(args->file);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"cannot read %1: %2"_s.arg(args->file, file.errorString()));
    rusena::dump::DumpRequest request;
    request.fileBytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(u"cannot read %1: %2"_s.arg(args->file, file.errorString()));
    request.favourite = args->favourite;
    request.mode = args->mode;

    // Never the user's own data folder: a private one that disappears with the run.
    QTemporaryDir root;
    if (!root.isValid())
        return fail(u"cannot create a temporary folder: %1"_s.arg(root.errorString()));

    const std::optional<QByteArray> json = rusena::dump::runScript(request, root.path());
    if (!json)
        return fail(u"cannot prepare the private data folder below %1"_s.arg(root.path()));
    std::fwrite(json->constData(), 1, static_cast<std::size_t>(json->size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
