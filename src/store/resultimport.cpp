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

// The whole chosen file, or nothing when it cannot be read to its end.
std::optional<QByteArray> readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
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
    if (!isResultFileName(fileName))
        return Outcome::failure(Code::BadFileName, importErrorMessage());

    // The data folder may have been removed since start-up.
    if (!folder.ensureData())
        return importFailed();

    // Read and check the whole file before racek.dat is touched, so that a failure
    // keeps the day already stored.
    const std::optional<QByteArray> bytes = readWhole(sourcePath);
    if (!bytes)
        return importFailed();
    if (splitResultLines(*bytes).size() > static_cast<size_t>(LineStore::MaxResultLines))
        return importFailed();

    QSaveFile target(folder.racekPath());
    if (!target.open(QIODevice::WriteOnly))
        return importFailed();
    if (target.write(*bytes) != bytes->size() || !target.commit())
        return importFailed();
    return Outcome::success(copiedMessage());
}

} // namespace rusena
