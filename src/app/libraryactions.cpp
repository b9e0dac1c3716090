#include "libraryactions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace rusena {

namespace {

QAction *makeAction(QMenu *menu, QAction *before, const char *name, const QString &text,
    const QKeySequence &keys = {})
{
    auto *action = new QAction(text, menu);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    menu->insertAction(before, action);
    return action;
}

} // namespace

LibraryActions addLibraryActions(QMainWindow &window)
{
    auto *menu = window.findChild<QMenu *>(QStringLiteral("mfile"));
    // After 開く and the recent files, before 登録設定 ("mc").
    QAction *before = nullptr;
    for (QAction *item : menu->actions()) {
        if (item->objectName() == u"mc") {
            before = item;
            break;
        }
    }
    LibraryActions actions;
    actions.importFolder
        = makeAction(menu, before, "mfolder", QStringLiteral("フォルダから取り込む(&I)..."));
    actions.fetchLatest
        = makeAction(menu, before, "mfetch", QStringLiteral("最新データを取得(&G)"));
    actions.fetchPeriod
        = makeAction(menu, before, "mfetchperiod", QStringLiteral("期間を指定して取得(&T)..."));
    actions.pickDay = makeAction(menu, before, "mday", QStringLiteral("日付を選ぶ(&D)..."),
        QKeySequence(Qt::CTRL | Qt::Key_D));
    actions.previousDay = makeAction(menu, before, "mprevday", QStringLiteral("前の日(&P)"),
        QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    actions.nextDay = makeAction(menu, before, "mnextday", QStringLiteral("次の日(&N)"),
        QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    actions.check = makeAction(menu, before, "mcheck", QStringLiteral("ライブラリを検査(&K)"));
    actions.rebuild
        = makeAction(menu, before, "mrebuild", QStringLiteral("ライブラリを作り直す(&L)"));
    menu->insertSeparator(before)->setObjectName(QStringLiteral("hlibrary"));
    return actions;
}

} // namespace rusena
