#include "resultimport.h"

#include "datafolder.h"
#include "linestore.h"
#include "regularfile.h"

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

Outcome folderFailed(const Message &message)
{
    return Outcome::failure(Code::ImportFailed, message);
}

bool openSource(QIODevice &source)
{
    if (source.isOpen())
        return true;
    if (auto *file = qobject_cast<QFile *>(&source))
        return openRegularFile(*file);
    return source.open(QIODevice::ReadOnly);
}

// Everything the source holds, read in bounded pieces; nothing when a read fails before the
// end (readAll() would hand back the part read so far as if it were the whole file) or as
// soon as the source is longer than any day.
std::optional<QByteArray> readDay(QIODevice &source)
{
    if (!source.isSequential() && source.size() > LineStore::MaxDayBytes)
        return std::nullopt;
    QByteArray bytes;
    LineCounter lines;
    char piece[32 * 1024];
    for (;;) {
        const qint64 count = source.read(piece, sizeof piece);
        if (count < 0)
            return std::nullopt;
        if (count == 0 && (source.atEnd() || !source.isSequential()))
            break;
        const QByteArrayView read(piece, count);
        lines.add(read);
        if (bytes.size() + count > LineStore::MaxDayBytes
            || lines.count() > LineStore::MaxResultLines)
            return std::nullopt;
        bytes.append(read);
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
        return folderFailed(folderCreateFailedMessage());

    // Read and check the whole file before racek.dat is touched, so that a failure
    // keeps the day already stored.
    if (!openSource(source))
        return importFailed();
    const std::optional<QByteArray> bytes = readDay(source);
    if (!bytes)
        return importFailed();

    // From here on a failure is the data folder's, not the chosen file's.
    if (!mayReplace(folder.racekPath()))
        return folderFailed(folderWriteFailedMessage());
    QSaveFile target(folder.racekPath());
    if (!target.open(QIODevice::WriteOnly))
        return folderFailed(folderWriteFailedMessage());
    // commit() renames the temporary file even when flushing its buffer failed (a full
    // disk), so the flush is checked here; a failed one leaves racek.dat as it was.
    if (target.write(*bytes) != bytes->size() || !target.flush() || !target.commit())
        return folderFailed(folderWriteFailedMessage());
    return Outcome::success(copiedMessage());
}

} // namespace rusena
