#include "app/app.h"
#include "app/dialogs.h"
#include "app/faces.h"
#include "store/datafolder.h"
#include "store/heap.h"
#include "store/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    rusena::keepFreedHeap();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rusena"));
    QApplication::setOrganizationName(QStringLiteral("rusena"));
    rusena::installQtJapanese(application);
    rusena::installFaceSubstitutions();
    QApplication::setFont(rusena::designFont(rusena::faces::PGothic, 9));

    rusena::App app(rusena::DataFolder::standard());
    // For start-up measurements only: quit as soon as the main window has painted once. A
    // start-up warning is answered OK at once, so that a failed start-up can be timed too.
    if (qEnvironmentVariable("RUSENA_QUIT_AFTER_FIRST_PAINT") == u"1") {
        rusena::Dialogs::setAnswering(true);
        app.quitAfterFirstPaint();
    }
    bool hasPaintFd = false;
    const int paintFd = qEnvironmentVariableIntValue("RUSENA_FIRST_PAINT_FD", &hasPaintFd);
    if (hasPaintFd)
        app.signalFirstPaint(paintFd);
    app.start();
    // Files named on the command line (the desktop's "open with") are taken as if dropped:
    // one text file goes the way of File > 開く, archives and several files into the library.
    if (const QStringList arguments = QApplication::arguments(); arguments.size() > 1)
        app.importPaths(arguments.mid(1));
    return QApplication::exec();
}
