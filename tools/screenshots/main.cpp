// screenshots OUTDIR: the program's windows with a real race on show, as PNG files.
// Runs offscreen on a private data folder and private settings; the real ones are not
// touched. A window is added to the pictures by adding a row to shots().

#include "app/app.h"
#include "app/daypicker.h"
#include "app/dialogs.h"
#include "app/faces.h"
#include "app/historywindow.h"
#include "app/libraryactions.h"
#include "app/librarywindows.h"
#include "app/mainwindow.h"
#include "app/payoutwindow.h"
#include "app/programmewindow.h"
#include "app/statswindow.h"
#include "app/versiondialog.h"
#include "store/translations.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace rusena;

namespace {

struct Shot {
    QString file;
    /// Brings the window to show into the wanted state and returns it, shown.
    std::function<QWidget *(App &)> prepare;
};

QWidget *raceOnShow(App &app)
{
    MainWindow *main = app.mainWindow();
    app.openFile(QStringLiteral(RUSENA_SCREENSHOT_DAY));
    const int venue = main->cmb()->findText(QStringLiteral("芦屋"));
    Q_EMIT main->venueChosen(venue < 0 ? 0 : venue);
    Q_EMIT main->raceChosen(12);
    return main;
}

QWidget *aboutBox(App &app)
{
    app.mainWindow()->mv()->trigger();
    return app.versionDialog();
}

QWidget *fileDialog(App &app)
{
    // A child of the main window, so it goes with it.
    QFileDialog *dialog = Dialogs::createResultFileDialog(
        app.mainWindow(), QFileInfo(QStringLiteral(RUSENA_SCREENSHOT_DAY)).absolutePath());
    dialog->resize(640, 400);
    dialog->show();
    return dialog;
}

// Imports and openings of the library run as jobs on a thread of their own: a shot waits
// for them as a user would, with the windows' events handled meanwhile.
void waitWhileBusy(const App &app)
{
    while (app.libraryBusy())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

// The library windows show the real days beside the screenshot's day, filed once.
void fillLibrary(App &app)
{
    static bool filled = false;
    if (!filled)
        app.importPaths({ QFileInfo(QStringLiteral(RUSENA_SCREENSHOT_DAY)).absolutePath() });
    filled = true;
    waitWhileBusy(app);
}

QWidget *dayPicker(App &app)
{
    fillLibrary(app);
    app.libraryActions().pickDay->trigger();
    waitWhileBusy(app);
    return app.dayPicker();
}

QWidget *history(App &app)
{
    fillLibrary(app);
    app.libraryWindows()->openHistory(QStringLiteral("3471"));
    return app.libraryWindows()->history();
}

QWidget *payouts(App &app)
{
    fillLibrary(app);
    app.libraryWindows()->openPayouts(QDate(2020, 8, 15));
    return app.libraryWindows()->payouts();
}

QWidget *stats(App &app)
{
    fillLibrary(app);
    app.libraryWindows()->openStats();
    return app.libraryWindows()->stats();
}

// 出走表 of 多摩川 12R: on 14 April the library holds the race's result, on the 15th not yet.
QWidget *programme(App &app, const QDate &date)
{
    fillLibrary(app);
    app.libraryWindows()->openProgramme({ date, 5, 12 });
    return app.libraryWindows()->programme();
}

QList<Shot> shots()
{
    return {
        { QStringLiteral("main.png"), raceOnShow },
        { QStringLiteral("about.png"), aboutBox },
        { QStringLiteral("filedialog.png"), fileDialog },
        { QStringLiteral("daypicker.png"), dayPicker },
        { QStringLiteral("history.png"), history },
        { QStringLiteral("payouts.png"), payouts },
        { QStringLiteral("stats.png"), stats },
        { QStringLiteral("programme.png"),
            [](App &app) { return programme(app, QDate(2020, 4, 14)); } },
        { QStringLiteral("programme-noresult.png"),
            [](App &app) { return programme(app, QDate(2020, 4, 15)); } },
    };
}

bool take(const Shot &shot, App &app, const QDir &out)
{
    QWidget *window = shot.prepare(app);
    if (!window)
        return false;
    QApplication::processEvents();
    return window->grab().save(out.filePath(shot.file), "PNG");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: screenshots OUTDIR\n", stderr);
        return 2;
    }
    QTemporaryDir home;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
    QApplication::setOrganizationName(QStringLiteral("rusena"));
    QApplication::setApplicationName(QStringLiteral("rusena"));
    installQtJapanese(application);
    installFaceSubstitutions();
    QApplication::setFont(designFont(faces::PGothic, 9));
    Dialogs::setAnswering(true); // the import's notice is not shown

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path()))
        return 1;
    App app(DataFolder::below(home.path()));
    app.start();
    for (const Shot &shot : shots()) {
        if (!take(shot, app, out)) {
            std::fprintf(stderr, "screenshots: %s failed\n", qPrintable(shot.file));
            return 1;
        }
        std::printf("%s\n", qPrintable(QDir::toNativeSeparators(out.filePath(shot.file))));
    }
    return 0;
}
