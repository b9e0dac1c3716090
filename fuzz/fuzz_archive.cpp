// libFuzzer entry: the input is an LZH archive. Each run imports it into one library, as
// `rusena-library import` does: the archive is read (member names, sizes, data), every day
// member is parsed and filed, and the report lines are made.

#include "library/importbatch.h"
#include "library/library.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace rusena::library;

namespace {

// One folder and one library for the whole process: the library grows as the fuzzer
// finds days, as a user's does.
const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Never destroyed: at exit Qt's register of database connections may be gone before it.
    static Library &library = *new Library(scratch().filePath(QStringLiteral("data")));
    const QString archive = scratch().filePath(QStringLiteral("k_fuzz.lzh"));
    QFile file(archive);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort(); // the harness itself is broken, not the program
    file.close();

    const BatchReport report = importSources(library, { archive });
    // Every source gives at least one line, and a stored day has a date.
    if (report.lines.isEmpty())
        std::abort();
    for (const ImportLine &line : report.lines) {
        if (line.outcome.stored() && !line.outcome.date.isValid())
            std::abort();
    }
    return 0;
}
