#include "resultimport.h"

#include "datafolder.h"
#include "linestore.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

namespace rusena {

namespace {

Message copiedMessage()
{
    return { QStringLiteral("ファイルコピー終了"), QStringLiteral("レース結果ファイルコピー終了"),
        MessageIcon::Information, MessageButtons::Ok };
}

Outcome importFailed()
{
    return Outcome::failure(Code::ImportFailed, importErrorMessage());
}

// Everything the source holds, or nothing when a read fails before its end: readAll()
// would hand back the part read so far as if it were the whole file.
std::optional<QByteArray> readWhole(QIODevice &source)
{
    QByteArray bytes;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 count = source.read(chunk, sizeof chunk);
        if (count < 0)
            return std::nullopt;
        if (count == 0 && (source.atEnd() || !source.isSequential()))
            break;
        bytes.append(chunk, count);
    }
    return bytes;
}

} // namespace

bool isResultFileName(const QString &fileName)
{
    // The organiser names the files K<yymmdd>.TXT; its current archives use a lower-case k.
    return !fileName.isEmpty()
        && (fileName.front() == QLatin1Char('K') || fileName.front() == QLatin1Char('k'));
}

Message importErrorMessage()
{
    return { QStringLiteral("読み込みエラー"), QStringLiteral("ファイル読み込みエラー"),
        MessageIcon::Warning, MessageButtons::Ok };
}

Outcome copyResultFile(const QString &sourcePath, const QString &fileName, const DataFolder &folder)
{
    QFile source(sourcePath);
    return copyResultData(source, fileName, folder);
}

Outcome copyResultData(QIODevice &source, const QString &fileName, const DataFolder &folder)
{
    if (!isResultFileName(fileName))
        return Outcome::failure(Code::BadFileName, importErrorMessage());

    // The data folder may have been removed since start-up.
    if (!folder.ensureData())
        return importFailed();

    // Read and check the whole file before racek.dat is touched, so that a failure
    // keeps the day already stored.
    if (!source.isOpen() && !source.open(QIODevice::ReadOnly))
        return importFailed();
    const std::optional<QByteArray> bytes = readWhole(source);
    if (!bytes)
        return importFailed();
    if (splitResultLines(*bytes).size() > static_cast<size_t>(LineStore::MaxResultLines))
        return importFailed();

    QSaveFile target(folder.racekPath());
    if (!target.open(QIODevice::WriteOnly))
        return importFailed();
    // commit() renames the temporary file even when flushing its buffer failed (a full
    // disk), so the flush is checked here; a failed one leaves racek.dat as it was.
    if (target.write(*bytes) != bytes->size() || !target.flush() || !target.commit())
        return importFailed();
    return Outcome::success(copiedMessage());
}

} // namespace rusena
