#include "datafolder.h"

#include <QDir>
#include <QFileInfo>

namespace rusena {

namespace {

bool ensureFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists())
        return false; // a plain file stands where the folder belongs
    return QDir().mkdir(path);
}

} // namespace

DataFolder DataFolder::standard()
{
#ifdef Q_OS_WIN
    return { QStringLiteral("C:/競艇データ"), QStringLiteral("C:/競艇データ/ルセナデータ") };
#else
    return below(QDir::homePath());
#endif
}

DataFolder DataFolder::below(const QString &root)
{
    const QString top = QDir(root).filePath(QStringLiteral("競艇データ"));
    return { top, QDir(top).filePath(QStringLiteral("ルセナデータ")) };
}

QString DataFolder::racekPath() const
{
    return QDir(data).filePath(QStringLiteral("racek.dat"));
}

QString DataFolder::playerPath() const
{
    return QDir(data).filePath(QStringLiteral("player.dat"));
}

bool DataFolder::ensureTop() const
{
    return ensureFolder(top);
}

bool DataFolder::ensureData() const
{
    return ensureFolder(top) && ensureFolder(data);
}

Message folderCreateFailedMessage()
{
    return { QStringLiteral("データフォルダ作成エラー"),
        QStringLiteral("データフォルダを作成できませんでした。"), MessageIcon::Warning,
        MessageButtons::Ok };
}

Message folderWriteFailedMessage()
{
    return { QStringLiteral("データフォルダ書き込みエラー"),
        QStringLiteral("データフォルダに書き込めませんでした。"), MessageIcon::Warning,
        MessageButtons::Ok };
}

} // namespace rusena
