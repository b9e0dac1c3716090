#include "app.h"

#include "daypicker.h"
#include "dialogs.h"
#include "jobrunner.h"
#include "librarywindows.h"
#include "mainwindow.h"
#include "playerdialog.h"
#include "recentfiles.h"
#include "screenrenderer.h"
#include "session/importsummary.h"
#include "versiondialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace rusena {

namespace {

void notifyFirstPaint(int descriptor)
{
    QFile out;
    if (out.open(descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered))
        out.write("p", 1);
}

} // namespace

App::App(DataFolder folder, QObject *parent)
    : QObject(parent)
    , m_session(std::move(folder))
{
    // The dialogs are windows of their own, not children of main, so that every control
    // name is found in exactly one window.
    m_main = new MainWindow;

    connect(m_main, &MainWindow::venueChosen, this, &App::onVenueChosen);
    connect(m_main, &MainWindow::raceChosen, this, &App::onRaceChosen);
    connect(m_main, &MainWindow::favouriteRaceChosen, this, [this](int label) {
        const Outcome outcome = m_session.showFavouriteRace(label);
        show(outcome.message, m_main);
        render();
        showRaceRow();
    });
    connect(m_main, &MainWindow::closeRequested, this, &App::unloadAllWindows);
    connect(m_main->mread(), &QAction::triggered, this, &App::onImport);
    m_recent = new RecentFiles(this);
    m_recent->addMenuTo(m_main->fileMenu(), m_main->mc());
    connect(m_recent, &RecentFiles::fileChosen, this, &App::openFile);
    connect(m_main->mc(), &QAction::triggered, this, &App::onRegistration);
    connect(m_main->mend(), &QAction::triggered, this, &App::unloadAllWindows);
    connect(m_main->ms(), &QAction::triggered, this, &App::onSearch);
    connect(m_main->mv(), &QAction::triggered, this, &App::onAbout);

    m_jobs = new JobRunner(m_main, this);
    m_library = new LibraryWindows([this] { return libraryDatabase(); }, this);
    connect(m_library, &LibraryWindows::raceActivated, this, &App::onLibraryRace);
    connect(m_main->mhistory(), &QAction::triggered, this, [this] {
        withLibrary([this] {
            const int favourite = m_session.settings().favouriteNumber;
            m_library->openHistory(favourite > 0 ? fourDigits(favourite) : QString());
        });
    });
    connect(m_main->mpayouts(), &QAction::triggered, this,
        [this] { withLibrary([this] { m_library->openPayouts(m_session.dayOnShow()); }); });
    connect(m_main->mstats(), &QAction::triggered, this,
        [this] { withLibrary([this] { m_library->openStats(); }); });

    connectLibrary();
    connectProgrammes();
}

App::~App()
{
    // A running job uses the session's library: it is cancelled and waited for first.
    delete m_jobs;
    // The library windows hold the library's connection; they go before the session
    // closes it.
    delete m_library;
    delete m_dayPicker;
    delete m_version;
    delete m_player;
    delete m_main;
}

MainWindow *App::mainWindow() const
{
    return m_main;
}

PlayerDialog *App::playerDialog()
{
    // Built on first use: start-up need not pay for a window the user may never open. Its
    // controls follow the session alone, so a late one shows what an early one would.
    if (!m_player && !m_unloading) {
        m_player = new PlayerDialog;
        connect(m_player, &PlayerDialog::registrationEdited, this,
            [this](const QString &text) { m_session.setRegistrationText(text); });
        connect(m_player, &PlayerDialog::optionChosen, this,
            [this](int option) { m_session.setRegistrationOption(option); });
        connect(m_player, &PlayerDialog::saveRequested, this, &App::onSaveSettings);
        renderPlayer(m_session.screen(), *m_player);
    }
    return m_player;
}

VersionDialog *App::versionDialog() const
{
    return m_version;
}

void App::start()
{
    // Lets what is pending (a splash, a repaint) through once before the day loads.
    QCoreApplication::processEvents();
    const QList<Message> messages = m_session.startUp();
    for (const Message &message : messages)
        Dialogs::message(nullptr, message);
    render();

    if (m_quitAfterFirstPaint || m_firstPaintDescriptor >= 0)
        m_main->clientArea()->installEventFilter(this);

    m_main->centreOnScreen();
    m_main->show();
}

bool App::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // The filter sees the paint before it is done; the timer fires once it is.
        if (const int fd = m_firstPaintDescriptor; fd >= 0)
            QTimer::singleShot(0, this, [fd] { notifyFirstPaint(fd); });
        if (m_quitAfterFirstPaint)
            QTimer::singleShot(0, this, &App::unloadAllWindows);
        m_quitAfterFirstPaint = false;
        m_firstPaintDescriptor = -1;
    }
    return QObject::eventFilter(watched, event);
}

void App::render()
{
    if (m_main) {
        renderScreen(m_session.screen(), *m_main);
        m_main->setWindowTitle(m_session.windowTitle());
    }
    if (m_player)
        renderPlayer(m_session.screen(), *m_player);
}

void App::show(const std::optional<Message> &message, QWidget *parent)
{
    if (message)
        Dialogs::message(parent, *message);
}

void App::onVenueChosen(int index)
{
    m_session.selectVenue(index);
    render();
}

void App::onRaceChosen(int race)
{
    const Outcome outcome = m_session.selectRace(race);
    // A failed selection says so over the race still on show, then blanks the panel.
    show(outcome.message, m_main);
    render();
}

void App::onImport()
{
    const QStringList paths = Dialogs::openResultFiles(m_main, m_recent->lastFolder());
    if (paths.isEmpty())
        return; // a cancelled dialog ends the command quietly
    m_recent->setLastFolder(QFileInfo(paths.constFirst()).absolutePath());
    importPaths(paths);
}

void App::openFile(const QString &path)
{
    if (libraryBusy()) {
        // Filing the day needs the library: the whole command waits for the job.
        m_jobs->whenIdle([this, path] { openFile(path); });
        return;
    }
    const QFileInfo file(path);
    QFile source(file.absoluteFilePath());
    const Outcome outcome = m_session.takeResultFile(source, file.fileName());
    if (outcome.ok())
        m_recent->add(file.absoluteFilePath());
    else if (!file.exists())
        m_recent->remove(file.absoluteFilePath()); // gone: no use offering it again
    show(outcome.message, m_main);
    render();
    if (!outcome.ok())
        return;
    // The day is on show whatever the library makes of it; a failure to file it is said.
    openLibraryThen([this, name = file.fileName()](const Outcome &opened) {
        if (opened.ok())
            m_session.fileDayOnShow(name);
        else
            show(notFiledMessage(opened.message ? opened.message->text : QString()), m_main);
        show(m_session.filingWarning(), m_main);
        render();
    });
}

void App::keepOverMain(QWidget *dialog)
{
    dialog->winId();
    if (QWindow *window = dialog->windowHandle(); window && m_main->windowHandle())
        window->setTransientParent(m_main->windowHandle());
}

void App::onRegistration()
{
    PlayerDialog *player = playerDialog();
    if (!player)
        return; // the windows are being closed
    render();
    keepOverMain(player);
    player->show();
    player->activateWindow();
}

void App::onSaveSettings()
{
    const RegistrationSave saved = m_session.saveRegistration([this](const Message &question) {
        return Dialogs::message(m_player, question) == Dialogs::Button::Ok;
    });
    renderPlayer(m_session.screen(), *m_player); // an empty box now reads "0"
    show(saved.message, m_player);
    // The race display is blanked after the success message has been read.
    render();
    if (saved.closesDialog)
        m_player->hide();
}

void App::onSearch()
{
    QProgressBar *bar = m_main->progressBar1();
    int shownPercent = -1;
    const Outcome outcome = m_session.searchFavourite([&](int) {
        // Repaint only when the bar visibly moves: the walk must stay a quick single pass.
        const ProgressBar &model = m_session.screen().progressBar1;
        const int percent = model.maximum > 0 ? model.value * 100 / model.maximum : 0;
        if (percent == shownPercent)
            return;
        shownPercent = percent;
        renderProgress(model, *m_main);
        bar->repaint();
    });
    render();
    show(outcome.message, m_main);
}

void App::onAbout()
{
    if (!m_version)
        m_version = new VersionDialog;
    keepOverMain(m_version);
    m_version->show();
    m_version->activateWindow();
    m_version->command1()->setFocus();
}

std::optional<QSqlDatabase> App::libraryDatabase()
{
    // A job holds the library: the windows wait (they are disabled meanwhile).
    if (m_jobs->isBusy())
        return std::nullopt;
    const Outcome opened = m_session.openLibrary();
    show(opened.message, m_main);
    if (!opened.ok())
        return std::nullopt;
    return m_session.library().database();
}

void App::onLibraryRace(const RaceRef &race)
{
    // The day becomes the day on show as a pick from the day list makes it, then the
    // venue and the race are chosen as the user would choose them in the main window.
    withLibrary([this, race] {
        const Outcome day = m_session.showStoredDay(race.date);
        render();
        show(day.message, m_main);
        if (!day.ok())
            return;
        const Outcome shown = m_session.showRace(race.venueCode, race.race);
        show(shown.message, m_main);
        render();
        showRaceRow();
        m_main->raise();
        m_main->activateWindow();
    });
}

void App::unloadAllWindows()
{
    // Closing main raises its close request again; one pass is enough.
    if (m_unloading)
        return;
    m_unloading = true;

    if (m_main) {
        m_main->close();
        m_main->hide();
    }
    if (m_player)
        m_player->hide();
    if (m_version)
        m_version->hide();
    if (m_dayPicker)
        m_dayPicker->hide();
    if (m_dayPicker)
        m_dayPicker->deleteLater();
    m_library->hideAll();
    if (m_main)
        m_main->deleteLater();
    if (m_player)
        m_player->deleteLater();
    if (m_version)
        m_version->deleteLater();
    QCoreApplication::quit();
}

} // namespace rusena
