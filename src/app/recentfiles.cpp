#include "recentfiles.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace rusena {

namespace {

const QString FilesKey = QStringLiteral("recent/files");
const QString FolderKey = QStringLiteral("recent/folder");

} // namespace

RecentFiles::RecentFiles(QObject *parent)
    : QObject(parent)
{
}

void RecentFiles::addMenuTo(QMenu *menu, QAction *before)
{
    m_menu = new QMenu(QStringLiteral("最近使ったファイル(&R)"), menu);
    m_menu->setObjectName(QStringLiteral("mrecent"));
    menu->insertMenu(before, m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &RecentFiles::fillMenu);
}

QStringList RecentFiles::files() const
{
    return QSettings().value(FilesKey).toStringList();
}

void RecentFiles::add(const QString &path)
{
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > MaxFiles)
        list.removeLast();
    QSettings().setValue(FilesKey, list);
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    if (list.removeAll(path) > 0)
        QSettings().setValue(FilesKey, list);
}

QString RecentFiles::lastFolder() const
{
    return QSettings().value(FolderKey).toString();
}

void RecentFiles::setLastFolder(const QString &folder)
{
    QSettings().setValue(FolderKey, folder);
}

void RecentFiles::fillMenu()
{
    m_menu->clear();
    const QStringList list = files();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString &path = list.at(i);
        // Numbered for the keyboard; && keeps an & in a name from becoming a mnemonic.
        QString text = QDir::toNativeSeparators(path);
        text.replace(u'&', QStringLiteral("&&"));
        QAction *action = m_menu->addAction(u'&' + QString::number(i + 1) + u' ' + text);
        connect(action, &QAction::triggered, this, [this, path] { Q_EMIT fileChosen(path); });
    }
    if (list.isEmpty())
        m_menu->addAction(QStringLiteral("(なし)"))->setEnabled(false);
}

} // namespace rusena
