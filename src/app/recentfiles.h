#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace rusena {

/// The folder the file dialog last showed and the files opened lately, kept in QSettings
/// (window state, never in player.dat). Puts a 最近使ったファイル submenu into a menu; it
/// reads the settings only when the submenu is first opened.
class RecentFiles final : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxFiles = 8;

    explicit RecentFiles(QObject *parent = nullptr);

    /// Adds the submenu to `menu` in front of `before`.
    void addMenuTo(QMenu *menu, QAction *before);
    QMenu *menu() const { return m_menu; }

    /// The files, newest first.
    QStringList files() const;
    /// Puts a successfully opened file at the top of the list.
    void add(const QString &path);
    /// Drops a file that could no longer be opened.
    void remove(const QString &path);

    /// The folder the file dialog should start in: the one last used, or empty.
    QString lastFolder() const;
    void setLastFolder(const QString &folder);

Q_SIGNALS:
    /// The user picked a file from the submenu.
    void fileChosen(const QString &path);

private:
    void fillMenu();

    QMenu *m_menu = nullptr;
};

} // namespace rusena
