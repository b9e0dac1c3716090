// The whole program through its real widgets, offscreen: start-up, showing races,
// import, the registration dialog, the favourite search, the about box and shut-down.
// Message boxes and the file dialog are answered through the Dialogs hook.

#include "app/app.h"
#include "app/dialogs.h"
#include "app/faces.h"
#include "app/libraryactions.h"
#include "app/librarywindows.h"
#include "app/mainwindow.h"
#include "app/playerdialog.h"
#include "app/recentfiles.h"
#include "app/registrationedit.h"
#include "app/twips.h"
#include "app/versiondialog.h"
#include "filebytes.h"
#include "readonlyfolder.h"
#include "session/session.h"
#include "store/translations.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace rusena;

namespace {

const QString Karatsu = u"唐津"_qs;

QString testData(const char *name)
{
    return QStringLiteral(RUSENA_TEST_DATA "/") + QString::fromLatin1(name);
}

QStringList texts(const QList<Message> &messages)
{
    QStringList out;
    for (const Message &m : messages)
        out.append(m.caption + u" / "_qs + m.text);
    return out;
}

/// A private data folder and a started program on it.
struct Run {
    QTemporaryDir root;
    DataFolder folder = DataFolder::below(root.path());
    std::unique_ptr<App> app;

    void storeDay(const char *name = "k200815.txt")
    {
        QVERIFY(folder.ensureData());
        QVERIFY(QFile::copy(testData(name), folder.racekPath()));
    }
    void storeSettings(const QByteArray &record)
    {
        QVERIFY(folder.ensureData());
        QVERIFY(writeBytes(folder.playerPath(), record));
    }
    void start()
    {
        app = std::make_unique<App>(folder);
        app->start();
    }
    MainWindow *main() const { return app->mainWindow(); }
    PlayerDialog *player() const { return app->playerDialog(); }
    // Waits for the job a command started (opening the library, a batch) to end.
    void settle() const { QTRY_VERIFY(!app->libraryBusy()); }
};

void chooseVenue(MainWindow *main, const QString &venue)
{
    QComboBox *cmb = main->cmb();
    const int index = cmb->findText(venue);
    QVERIFY2(index >= 0, qPrintable(venue));
    cmb->setFocus();
    QTest::keyClick(cmb, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(cmb, Qt::Key_Down);
    QCOMPARE(cmb->currentText(), venue);
}

void clickRace(MainWindow *main, int race)
{
    QListWidget *list = main->list1();
    const QRect rect = list->visualItemRect(list->item(race - 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// A marker's place in pixels from its design place in twips.
QPoint markerAt(int left, int top)
{
    return { px(left), px(top) };
}

} // namespace

class TestViewFlow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startUp_data();
    void startUp();
    void startUpFailure_data();
    void startUpFailure();

    void showsRaceWithAccidents();
    void keyboardAndRepeatedClick();
    void selectionFailures_data();
    void selectionFailures();

    void import_data();
    void import();
    void importFailureKeepsStoredDay();
    void importIntoReadOnlyFolder();
    void fileDialogListsTxtInAnyCase();
    void qtTextsInJapanese();
    void recentFiles();

    void registrationKeys();
    void registrationSave_data();
    void registrationSave();
    void registrationCancelKeepsText();

    void libraryWaitsForBatch_data();
    void libraryWaitsForBatch();
    void favouriteSearch_data();
    void favouriteSearch();
    void screenshots();

    void aboutBoxTwice();
    void shutDown_data();
    void shutDown();
};

// Receives the home page instead of a browser.
class UrlCatcher final : public QObject {
    Q_OBJECT
public:
    QString url;
public Q_SLOTS:
    void open(const QUrl &u) { url = u.toString(); }
};

void TestViewFlow::initTestCase()
{
    QVERIFY(installQtJapanese(*QCoreApplication::instance()));
    installFaceSubstitutions();
    QApplication::setFont(designFont(faces::PGothic, 9));
}

void TestViewFlow::init()
{
    Dialogs::setAnswering(true);
    QSettings().clear(); // no recent files from the test before
}

void TestViewFlow::cleanup()
{
    Dialogs::setAnswering(false);
}

void TestViewFlow::startUp_data()
{
    QTest::addColumn<bool>("day");
    QTest::addColumn<QByteArray>("settings"); // empty: no player.dat
    QTest::addColumn<bool>("asksForFile");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("mode");

    const QByteArray none;
    const QByteArray stored("\x7B\x00\x02\x00", 4);
    QTest::newRow("first run, no folders") << false << none << true << 0 << 0;
    QTest::newRow("stored day, no settings") << true << none << false << 0 << 1;
    QTest::newRow("stored day and settings") << true << stored << false << 123 << 2;
    QTest::newRow("settings only") << false << stored << true << 0 << 0;
}

void TestViewFlow::startUp()
{
    QFETCH(bool, day);
    QFETCH(QByteArray, settings);
    QFETCH(bool, asksForFile);
    QFETCH(int, number);
    QFETCH(int, mode);

    Run run;
    if (day)
        run.storeDay();
    if (!settings.isEmpty())
        run.storeSettings(settings);

    QList<bool> mainVisibleWhenAsked;
    Dialogs::setObserver(
        [&](const Message &) { mainVisibleWhenAsked.append(run.app && run.main()->isVisible()); });
    run.start();
    Dialogs::setObserver({});

    QVERIFY(QFileInfo(run.folder.data).isDir());
    const QStringList asked = texts(Dialogs::takeAsked());
    if (asksForFile) {
        QCOMPARE(asked,
            QStringList {
                u"レース結果ファイル読み込み / 始めにレース結果ファイルを読み込んで下さい。"_qs });
        QCOMPARE(mainVisibleWhenAsked, QList<bool> { false });
        QCOMPARE(run.main()->cmb()->count(), 0);
    } else {
        QCOMPARE(asked, QStringList());
        QCOMPARE(run.main()->cmb()->itemText(0), Karatsu);
    }
    QVERIFY(run.main()->isVisible());
    QCOMPARE(run.main()->cmb()->currentIndex(), -1);
    QVERIFY(run.main()->progressBar1()->isHidden());
    for (int boat = 1; boat <= 6; ++boat)
        QVERIFY(run.main()->wak(boat)->isHidden());
    QCOMPARE(int(run.app->session().settings().favouriteNumber), number);
    QCOMPARE(int(run.app->session().settings().resultTextMode), mode);
    // The dialog starts empty on "全て表示する" whatever player.dat holds.
    QCOMPARE(run.player()->txb()->text(), QString());
    QVERIFY(run.player()->op1(0)->isChecked());
    QVERIFY(run.player()->isHidden());
}

void TestViewFlow::startUpFailure_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("warning");
    QTest::newRow("top folder is a plain file")
        << u"top"_qs << u"データフォルダ作成エラー / データフォルダを作成できませんでした。"_qs;
    QTest::newRow("racek.dat cannot be read")
        << u"racek"_qs << u"読み込みエラー / レース結果ファイルを読み込めませんでした。"_qs;
}

// The warning comes before the main window; the window then opens empty and every
// command answers. Once the obstacle is gone, File > 開く brings a day in.
void TestViewFlow::startUpFailure()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, warning);

    Run run;
    if (obstacle == u"top") {
        QVERIFY(writeBytes(run.folder.top, "not a folder"));
    } else {
        QVERIFY(run.folder.ensureData());
        QVERIFY(QDir().mkdir(run.folder.racekPath()));
    }
    QList<bool> mainVisibleWhenAsked;
    Dialogs::setObserver(
        [&](const Message &) { mainVisibleWhenAsked.append(run.app && run.main()->isVisible()); });
    run.start();
    Dialogs::setObserver({});

    QCOMPARE(texts(Dialogs::takeAsked()), QStringList { warning });
    QCOMPARE(mainVisibleWhenAsked, QList<bool> { false });
    MainWindow *main = run.main();
    QVERIFY(main->isVisible());
    QCOMPARE(main->cmb()->count(), 0);
    for (int boat = 1; boat <= 6; ++boat)
        QVERIFY(main->wak(boat)->isHidden());

    clickRace(main, 1);
    QCOMPARE(texts(Dialogs::takeAsked()),
        QStringList { u"開催地選択エラー / 開催地を選択して下さい。"_qs });

    if (obstacle == u"top")
        QVERIFY(QFile::remove(run.folder.top));
    else
        QVERIFY(QDir().rmdir(run.folder.racekPath()));
    Dialogs::setNextFile(testData("k200815.txt"));
    main->mread()->trigger();
    Dialogs::setNextFile(std::nullopt);
    QCOMPARE(texts(Dialogs::takeAsked()),
        QStringList { u"ファイルコピー終了 / レース結果ファイルコピー終了"_qs });
    QCOMPARE(main->cmb()->itemText(0), Karatsu);
}

void TestViewFlow::showsRaceWithAccidents()
{
    Run run;
    run.storeDay();
    run.start();
    MainWindow *main = run.main();

    // 唐津 5R: boats 3 and 5 flew (F0.04, F0.01); 6-1-4 by まくり差し.
    chooseVenue(main, Karatsu);
    clickRace(main, 5);
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList());

    QVERIFY(main->tit(1)->text().startsWith(u"第"_qs));
    QVERIFY(main->tit(1)->text().endsWith(u"5日"_qs));
    QVERIFY(main->tit(2)->text().startsWith(u"  お盆特選"_qs));
    QVERIFY(main->tit(3)->text().contains(u"H1800m"_qs));

    // Rows by course: course 1 is boat 1, course 4 boat 6, courses 5 and 6 the flyers.
    QCOMPARE(main->dds(0)->text(), u"  赤　峰　　和　也"_qs);
    QCOMPARE(main->dds(3)->text(), u"  長　溝　　一　生"_qs);
    QCOMPARE(main->dds(5)->text(), u"  長　尾　　京志郎"_qs);
    QCOMPARE(main->dds(6)->text().trimmed(), u"6.80"_qs);
    QCOMPARE(main->dds(16)->text().trimmed(), u"F0.04"_qs);
    QCOMPARE(main->dds(18)->text().trimmed(), u"1.52.4"_qs);
    QCOMPARE(main->dds(24)->text(), u"3.F5.F"_qs);
    QCOMPARE(main->dds(25)->text(), u"まくり差し"_qs);

    // Markers: left 5120 - 20 x hundredths, flyers to the right; top 980 + 240 x course.
    const QList<std::pair<int, QPoint>> markers = { { 1, markerAt(4920, 1220) },
        { 2, markerAt(4960, 1460) }, { 4, markerAt(5060, 1700) }, { 6, markerAt(5060, 1940) },
        { 3, markerAt(5200, 2180) }, { 5, markerAt(5140, 2420) } };
    for (const auto &[boat, at] : markers) {
        QVERIFY2(main->wak(boat)->isVisible(), qPrintable(QString::number(boat)));
        QCOMPARE(main->wak(boat)->pos(), at);
    }

    // Placings 6, 1, 4 in their boat colours.
    const struct {
        int k;
        const char16_t *caption;
        QColor fg, bg;
    } boxes[] = { { 1, u"６", Qt::black, QColor(0x00, 0xFF, 0x00) },
        { 2, u"１", Qt::black, QColor(0xFF, 0xFF, 0xFF) },
        { 3, u"４", QColor(0xFF, 0xFF, 0xFF), QColor(0x00, 0x00, 0xFF) } };
    for (const auto &box : boxes) {
        QLabel *label = main->tyaku(box.k);
        QCOMPARE(label->text(), QString::fromUtf16(box.caption));
        QCOMPARE(label->palette().color(QPalette::WindowText), box.fg);
        QCOMPARE(label->palette().color(QPalette::Window), box.bg);
    }
    QCOMPARE(main->tyakub(1)->text(), u"-"_qs);
    QCOMPARE(main->tyakub(2)->text(), u"-"_qs);

    const QString text = main->txb()->toPlainText();
    QVERIFY(text.startsWith(u"   5R       一　　般"_qs));
    QVERIFY(text.endsWith(u"\n"_qs));
    QVERIFY(text.contains(u"３連単   6-1-4     2580"_qs));
    QVERIFY(!text.contains(u'\r'));
    QVERIFY(main->txb()->isReadOnly());
}

void TestViewFlow::keyboardAndRepeatedClick()
{
    Run run;
    run.storeDay();
    run.start();
    MainWindow *main = run.main();

    chooseVenue(main, Karatsu);
    clickRace(main, 5);
    // The keys move the selection like any list box, and the race follows.
    main->list1()->setFocus();
    QTest::keyClick(main->list1(), Qt::Key_Down);
    QCOMPARE(main->list1()->currentRow(), 5);
    QCOMPARE(main->dds(0)->text(), u"  飯　田　　庄　吾"_qs);

    // Another venue, then a click on the race that is already selected: 芦屋 6R.
    chooseVenue(main, u"芦屋"_qs);
    QCOMPARE(main->dds(0)->text(), u"  飯　田　　庄　吾"_qs); // picking a venue shows nothing yet
    clickRace(main, 6);
    QCOMPARE(main->dds(0)->text(), u"  冨　成　　謙　児"_qs);
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList());
}

void TestViewFlow::selectionFailures_data()
{
    QTest::addColumn<QString>("venue"); // empty: none chosen
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("blanked");

    QTest::newRow("no venue chosen")
        << QString() << 3 << u"開催地選択エラー / 開催地を選択して下さい。"_qs << false;
    // 住之江's section of that day is only its header: no race can be read.
    QTest::newRow("section without races")
        << u"住之江"_qs << 5 << u"読み込みエラー / 住之江競艇場 ( 5レース ) 読み込みエラー。"_qs
        << true;
}

void TestViewFlow::selectionFailures()
{
    QFETCH(QString, venue);
    QFETCH(int, race);
    QFETCH(QString, message);
    QFETCH(bool, blanked);

    Run run;
    run.storeDay();
    run.start();
    MainWindow *main = run.main();
    chooseVenue(main, Karatsu);
    clickRace(main, 1);
    Dialogs::takeAsked();

    if (venue.isEmpty()) {
        // Only a fresh start has no venue; the list keeps its choice once made.
        Run fresh;
        fresh.storeDay();
        fresh.start();
        clickRace(fresh.main(), race);
        QCOMPARE(texts(Dialogs::takeAsked()), QStringList { message });
        QCOMPARE(fresh.main()->dds(0)->text(), QString());
        return;
    }
    const QString before = main->dds(0)->text();
    chooseVenue(main, venue);
    clickRace(main, race);
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList { message });
    QCOMPARE(main->dds(0)->text().isEmpty(), blanked);
    if (!blanked)
        QCOMPARE(main->dds(0)->text(), before);
    if (blanked) {
        QCOMPARE(main->txb()->toPlainText(), QString());
        for (int boat = 1; boat <= 6; ++boat)
            QVERIFY(main->wak(boat)->isHidden());
    }
}

void TestViewFlow::import_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages"); // in the order asked
    QTest::addColumn<bool>("replaced"); // and listed among the recent files
    QTest::addColumn<bool>("brokenLibrary"); // the library's index cannot be opened

    const QString copied = u"ファイルコピー終了 / レース結果ファイルコピー終了"_qs;
    QTest::newRow("organiser's name")
        << u"K200814.TXT"_qs << QStringList { copied } << true << false;
    QTest::newRow("lower-case k") << u"k200814.txt"_qs << QStringList { copied } << true << false;
    QTest::newRow("not a result file")
        << u"B030814.TXT"_qs << QStringList { u"読み込みエラー / ファイル読み込みエラー"_qs }
        << false << false;
    QTest::newRow("dialog cancelled") << QString() << QStringList() << false << false;
    // The day opens all the same; that it is not in the library is said, not hidden.
    QTest::newRow("library cannot be opened")
        << u"K200814.TXT"_qs
        << QStringList { copied,
               u"ライブラリエラー / この日を表示しましたが、ライブラリに登録できませんでした。"_qs }
        << true << true;
}

void TestViewFlow::import()
{
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    QFETCH(bool, replaced);
    QFETCH(bool, brokenLibrary);

    Run run;
    run.storeDay("k200815.txt");
    if (brokenLibrary) // a folder where the index file should be
        QVERIFY(QDir().mkpath(run.folder.data + u"/library.sqlite"_qs));
    run.start();
    MainWindow *main = run.main();
    chooseVenue(main, Karatsu);
    clickRace(main, 5);
    const QByteArray before = readBytes(run.folder.racekPath());

    QTemporaryDir source;
    const QString path = source.filePath(name);
    if (!name.isEmpty()) {
        QVERIFY(QFile::copy(testData("k200814.txt"), path));
        Dialogs::setNextFile(path);
    } else {
        Dialogs::setNextFile(std::nullopt);
    }
    Dialogs::takeAsked();
    main->mread()->trigger();
    run.settle();

    QStringList asked;
    for (const QString &text : texts(Dialogs::takeAsked()))
        asked.append(text.section(u'\n', 0, 0));
    QCOMPARE(asked, messages);
    if (replaced) {
        QCOMPARE(readBytes(run.folder.racekPath()), readBytes(testData("k200814.txt")));
        // The new day is listed with nothing chosen, and the old race is gone.
        QCOMPARE(main->cmb()->currentIndex(), -1);
        QVERIFY(main->cmb()->count() > 0);
        QCOMPARE(main->dds(0)->text(), QString());
        QCOMPARE(main->tyaku(1)->text(), QString());
        QCOMPARE(main->txb()->toPlainText(), QString());
        for (int boat = 1; boat <= 6; ++boat)
            QVERIFY(main->wak(boat)->isHidden());
        QCOMPARE(run.app->recentFiles()->files(), QStringList { path });
    } else {
        QCOMPARE(readBytes(run.folder.racekPath()), before);
        QCOMPARE(main->cmb()->currentText(), Karatsu);
        QCOMPARE(run.app->recentFiles()->files(), QStringList());
        QCOMPARE(main->dds(0)->text(), u"  赤　峰　　和　也"_qs);
    }
    QCOMPARE(main->list1()->count(), 12);
    QCOMPARE(main->list1()->item(9)->data(Qt::UserRole).toInt(), 10);
}

void TestViewFlow::importFailureKeepsStoredDay()
{
    Run run;
    run.storeDay();
    run.start();
    const QByteArray before = readBytes(run.folder.racekPath());

    // A chosen file that cannot be read: the warning, and the stored day stays.
    QTemporaryDir source;
    Dialogs::setNextFile(source.filePath(u"K200101.TXT"_qs));
    run.main()->mread()->trigger();
    QCOMPARE(
        texts(Dialogs::takeAsked()), QStringList { u"読み込みエラー / ファイル読み込みエラー"_qs });
    QCOMPARE(readBytes(run.folder.racekPath()), before);
    QCOMPARE(run.main()->cmb()->itemText(0), Karatsu);
}

void TestViewFlow::importIntoReadOnlyFolder()
{
    Run run;
    run.storeDay();
    run.start();
    const QByteArray before = readBytes(run.folder.racekPath());
    QTemporaryDir source;
    const QString path = source.filePath(u"K200814.TXT"_qs);
    QVERIFY(QFile::copy(testData("k200814.txt"), path));
    {
        const ReadOnlyFolder readOnly(run.folder.data);
        if (!readOnly.ok())
            QSKIP("this file system cannot make a folder read-only for this user");
        Dialogs::setNextFile(path);
        run.main()->mread()->trigger();
    }

    QCOMPARE(texts(Dialogs::takeAsked()),
        QStringList {
            u"データフォルダ書き込みエラー / データフォルダに書き込めませんでした。"_qs });
    QCOMPARE(readBytes(run.folder.racekPath()), before);
    QCOMPARE(run.main()->cmb()->itemText(0), Karatsu);
}

void TestViewFlow::fileDialogListsTxtInAnyCase()
{
    QTemporaryDir dir;
    for (const char *name : { "K200105.TXT", "k200106.txt", "K200107.Txt", "K200108.dat", "readme",
             "k200109.lzh", "K200110.LZH" })
        QVERIFY(writeBytes(dir.filePath(QString::fromLatin1(name)), "x"));

    std::unique_ptr<QFileDialog> dialog(Dialogs::createResultFileDialog(nullptr));
    QCOMPARE(dialog->nameFilters(),
        (QStringList { u"レース結果ファイル (*.txt *.lzh)"_qs, u"テキストファイル (*.txt)"_qs }));
    dialog->setDirectory(dir.path());
    dialog->show();
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 5);
    QStringList listed;
    for (int row = 0; row < 5; ++row)
        listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
    listed.sort();
    QCOMPARE(listed,
        (QStringList { u"K200105.TXT"_qs, u"K200107.Txt"_qs, u"K200110.LZH"_qs, u"k200106.txt"_qs,
            u"k200109.lzh"_qs }));
}

void TestViewFlow::qtTextsInJapanese()
{
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_qs);

    std::unique_ptr<QFileDialog> dialog(Dialogs::createResultFileDialog(nullptr));
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), u"開く(&O)"_qs);

    // The columns of the detail view: a folder's type and every date in Japanese.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"2020"_qs));
    dialog->setDirectory(dir.path());
    dialog->setViewMode(QFileDialog::Detail);
    dialog->show();
    auto *view = dialog->findChild<QAbstractItemView *>(QStringLiteral("treeView"));
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 1);
    const QModelIndex folder = view->model()->index(0, 0, view->rootIndex());
    QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), u"種類"_qs);
    QCOMPARE(folder.siblingAtColumn(2).data().toString(), u"フォルダー"_qs);
    const QString date = folder.siblingAtColumn(3).data().toString();
    QVERIFY2(QRegularExpression(u"^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d$"_qs).match(date).hasMatch(),
        qPrintable(date));
}

void TestViewFlow::recentFiles()
{
    Run run;
    run.start();
    MainWindow *main = run.main();
    QTemporaryDir source;
    const QString path = source.filePath(u"K200814.TXT"_qs);
    QVERIFY(QFile::copy(testData("k200814.txt"), path));

    // The dialog starts where the last file was chosen.
    Dialogs::setNextFile(path);
    main->mread()->trigger();
    run.settle();
    Dialogs::setNextFile(std::nullopt);
    main->mread()->trigger();
    QCOMPARE(Dialogs::lastFolderAsked(), source.path());

    QMenu *menu = run.app->recentFiles()->menu();
    Q_EMIT menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0)->text(), u"&1 "_qs + QDir::toNativeSeparators(path));
    Dialogs::takeAsked();
    menu->actions().at(0)->trigger();
    run.settle();
    QCOMPARE(texts(Dialogs::takeAsked()),
        QStringList { u"ファイルコピー終了 / レース結果ファイルコピー終了"_qs });

    // A file that has gone is reported and leaves the list.
    QVERIFY(QFile::remove(path));
    menu->actions().at(0)->trigger();
    QCOMPARE(
        texts(Dialogs::takeAsked()), QStringList { u"読み込みエラー / ファイル読み込みエラー"_qs });
    QCOMPARE(run.app->recentFiles()->files(), QStringList());
    // Window state never goes into player.dat.
    QVERIFY(!QFile::exists(run.folder.playerPath()));
}

void TestViewFlow::registrationKeys()
{
    Run run;
    run.start();
    run.main()->mc()->trigger();
    PlayerDialog *player = run.player();
    QVERIFY(player->isVisible());
    QCOMPARE(player->windowModality(), Qt::ApplicationModal);
    QCOMPARE(player->objectName(), u"player"_qs);
    QCOMPARE(player->windowTitle(), u"登録設定"_qs);
    QCOMPARE(player->size(), QSize(297, 175));
    RegistrationEdit *txb = player->txb();
    txb->setFocus();

    QTest::keyClicks(txb, QStringLiteral("12a3"));
    QCOMPARE(txb->text(), u"123"_qs);
    QTest::keyClick(txb, Qt::Key_Backspace);
    QCOMPARE(txb->text(), u"123"_qs);
    QTest::sendKeyEvent(QTest::Click, txb, Qt::Key_unknown, u"４"_qs, Qt::NoModifier); // full-width
    QCOMPARE(txb->text(), u"123"_qs);
    QTest::keyClicks(txb, QStringLiteral("45"));
    QCOMPARE(txb->text(), u"1234"_qs); // the fifth digit is refused
    // Delete and the cursor keys still edit as usual.
    QTest::keyClick(txb, Qt::Key_Home);
    QTest::keyClick(txb, Qt::Key_Delete);
    QCOMPARE(txb->text(), u"234"_qs);

    // A paste with anything but digits is refused whole; digits are cut to the limit.
    txb->clear();
    QGuiApplication::clipboard()->setText(u"9x８87"_qs);
    QTest::keyClick(txb, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txb->text(), QString());
    QGuiApplication::clipboard()->setText(u"98765"_qs);
    QTest::keyClick(txb, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txb->text(), u"9876"_qs);
    QCOMPARE(run.app->session().screen().playerTxb, txb->text());
}

void TestViewFlow::registrationSave_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("payoutsOnly");
    QTest::addColumn<QList<Dialogs::Button>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QByteArray>("file"); // empty: not written
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<bool>("blocked"); // player.dat is a folder: the write fails

    const QString confirm = u"登録事項詳細 / お気に入り選手は登録されませんが宜しいですか？"_qs;
    const QString saved = u"記録成功 / 設定を記録しました。"_qs;
    using B = Dialogs::Button;
    QTest::newRow("0123, payouts only")
        << u"0123"_qs << true << QList<B> {} << QStringList { saved }
        << QByteArray("\x7B\x00\x02\x00", 4) << true << u"0123"_qs << false;
    QTest::newRow("empty, confirmed")
        << QString() << false << QList<B> { B::Ok, B::Ok } << QStringList { confirm, saved }
        << QByteArray("\x00\x00\x01\x00", 4) << true << u"0"_qs << false;
    QTest::newRow("empty, declined")
        << QString() << false << QList<B> { B::Cancel } << QStringList { confirm } << QByteArray()
        << false << QString() << false;
    // The user can correct the number or cancel; the race on show stays.
    QTest::newRow("write fails: the dialog stays open")
        << u"0123"_qs << false << QList<B> {}
        << QStringList { u"記録失敗 / 設定を記録できませんでした。"_qs } << QByteArray() << false
        << u"0123"_qs << true;
}

void TestViewFlow::registrationSave()
{
    QFETCH(QString, typed);
    QFETCH(bool, payoutsOnly);
    QFETCH(QList<Dialogs::Button>, answers);
    QFETCH(QStringList, asked);
    QFETCH(QByteArray, file);
    QFETCH(bool, hidden);
    QFETCH(QString, boxAfter);
    QFETCH(bool, blocked);

    Run run;
    run.storeDay();
    run.start();
    if (blocked)
        QVERIFY(QDir().mkdir(run.folder.playerPath()));
    MainWindow *main = run.main();
    chooseVenue(main, Karatsu);
    clickRace(main, 5);
    Dialogs::takeAsked();

    main->mc()->trigger();
    PlayerDialog *player = run.player();
    QTest::keyClicks(player->txb(), typed);
    if (payoutsOnly)
        QTest::mouseClick(player->op1(1), Qt::LeftButton);
    for (Dialogs::Button answer : answers)
        Dialogs::setNextAnswer(answer);
    QTest::mouseClick(player->cmd1(), Qt::LeftButton);

    QCOMPARE(texts(Dialogs::takeAsked()), asked);
    QCOMPARE(QFileInfo(run.folder.playerPath()).isFile(), !file.isEmpty());
    if (!file.isEmpty())
        QCOMPARE(readBytes(run.folder.playerPath()), file);
    QCOMPARE(player->isHidden(), hidden);
    QCOMPARE(player->txb()->text(), boxAfter);
    // A save blanks the race on show; a declined one leaves it.
    QCOMPARE(main->dds(0)->text().isEmpty(), hidden);
    QCOMPARE(main->txb()->toPlainText().isEmpty(), hidden);
}

void TestViewFlow::registrationCancelKeepsText()
{
    Run run;
    run.storeDay();
    run.storeSettings(QByteArray("\x07\x00\x01\x00", 4));
    run.start();

    run.main()->mc()->trigger();
    PlayerDialog *player = run.player();
    QTest::keyClicks(player->txb(), QStringLiteral("77"));
    QTest::mouseClick(player->op1(1), Qt::LeftButton);
    QTest::mouseClick(player->cmd2(), Qt::LeftButton);

    QVERIFY(player->isHidden());
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList());
    QCOMPARE(readBytes(run.folder.playerPath()), QByteArray("\x07\x00\x01\x00", 4));
    QCOMPARE(int(run.app->session().settings().favouriteNumber), 7);

    run.main()->mc()->trigger();
    QVERIFY(player->isVisible());
    QCOMPARE(run.player(), player);
    QCOMPARE(player->txb()->text(), u"77"_qs);
    QVERIFY(player->op1(1)->isChecked());
}

// While a batch holds the library every window answers, but what needs the library
// waits, greyed out or queued, until the batch has ended: nothing runs inside it.
void TestViewFlow::libraryWaitsForBatch_data()
{
    QTest::addColumn<QString>("during"); // what the user does while the batch runs

    QTest::newRow("library commands greyed out") << u"commands"_qs;
    QTest::newRow("a history row waits") << u"history row"_qs;
    QTest::newRow("a drop waits") << u"drop"_qs;
    QTest::newRow("closing cancels the batch") << u"close"_qs;
}

void TestViewFlow::libraryWaitsForBatch()
{
    QFETCH(QString, during);

    Run run;
    run.start();
    MainWindow *main = run.main();
    const LibraryActions &library = run.app->libraryActions();
    const QList<QAction *> commands { main->mread(), main->mhistory(), main->mpayouts(),
        main->mstats(), library.importFolder, library.pickDay, library.previousDay, library.nextDay,
        library.rebuild };
    Dialogs::takeAsked();
    run.app->importPaths(
        { testData("k200814.txt"), testData("k200815.txt"), testData("k200907.txt") });
    QVERIFY(run.app->libraryBusy());

    if (during == u"commands") {
        for (QAction *command : commands)
            QVERIFY2(!command->isEnabled(), qPrintable(command->text()));
        QCOMPARE(main->cursor().shape(), Qt::BusyCursor);
        run.settle();
        for (QAction *command : commands)
            QVERIFY2(command->isEnabled(), qPrintable(command->text()));
        QCOMPARE(main->cursor().shape(), Qt::ArrowCursor);
    } else if (during == u"history row") {
        Q_EMIT run.app->libraryWindows()->raceActivated({ QDate(2020, 8, 14), 23, 5 });
        QCOMPARE(run.app->session().dayOnShow(), QDate()); // not inside the batch
        run.settle();
        QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 8, 14));
        QCOMPARE(main->windowTitle(), u"ルセナソフト - 2020/08/14 (金) 唐津 5R"_qs);
        QCOMPARE(main->list1()->currentRow(), 4);
    } else if (during == u"drop") {
        run.app->importPaths({ testData("k200105.txt"), testData("k201230.txt") });
        run.settle();
        QCOMPARE(Dialogs::takeAsked().size(), 2); // one summary a batch
        QCOMPARE(run.app->session().library().storedDays().size(), 5);
    } else {
        run.app->unloadAllWindows();
        run.app.reset(); // cancels the batch and waits for it: no hang, no crash
        QVERIFY(QFile::exists(run.folder.data + u"/library.sqlite"_qs));
    }
}

void TestViewFlow::favouriteSearch_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("label"); // the okiniiri label double-clicked afterwards
    QTest::addColumn<int>("shown"); // the race it shows, 0 for none

    // 赤峰 (3471) starts in 唐津 5R and 12R; nobody holds 9999.
    const QStringList found { u"3471"_qs, Karatsu, u" 5 R"_qs, u" 12 R"_qs };
    QTest::newRow("two races") << u"3471"_qs << found << QStringList() << 3 << 12;
    QTest::newRow("two races, the first opened") << u"3471"_qs << found << QStringList() << 2 << 5;
    QTest::newRow("not found")
        << u"9999"_qs << QStringList { u"9999"_qs, QString(), QString(), QString() }
        << QStringList { u"検索結果 / お気に入り選手は出走していませんでした。"_qs } << 2 << 0;
    QTest::newRow("none registered")
        << u"0"_qs << QStringList { QString(), QString(), QString(), QString() }
        << QStringList { u"検索不可能 / お気に入り選手が登録されていません。"_qs } << 3 << 0;
}

void TestViewFlow::favouriteSearch()
{
    QFETCH(QString, number);
    QFETCH(QStringList, row);
    QFETCH(QStringList, asked);
    QFETCH(int, label);
    QFETCH(int, shown);

    Run run;
    run.storeDay();
    run.start();
    MainWindow *main = run.main();
    main->mc()->trigger();
    QTest::keyClicks(run.player()->txb(), number);
    QTest::mouseClick(run.player()->cmd1(), Qt::LeftButton);
    Dialogs::takeAsked();

    // The bar shows over the favourite row while the walk runs.
    int barShown = 0;
    struct ShowCounter final : QObject {
        int *count;
        explicit ShowCounter(int *c)
            : count(c)
        {
        }
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Show)
                ++*count;
            return false;
        }
    } counter(&barShown);
    main->progressBar1()->installEventFilter(&counter);
    main->ms()->trigger();
    main->progressBar1()->removeEventFilter(&counter);

    QCOMPARE(texts(Dialogs::takeAsked()), asked);
    QCOMPARE(barShown, asked.isEmpty() || asked.first().startsWith(u"検索結果"_qs) ? 1 : 0);
    QVERIFY(main->progressBar1()->isHidden());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(main->okiniiri(i)->text(), row.at(i));

    // A race label opens its race; what the row shows stays.
    QTest::mouseDClick(main->okiniiri(label), Qt::LeftButton);
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList());
    if (shown > 0) {
        QCOMPARE(main->cmb()->currentText(), Karatsu);
        QCOMPARE(main->list1()->currentRow(), shown - 1);
        QVERIFY2(main->windowTitle().endsWith(u"唐津 "_qs + QString::number(shown) + u'R'),
            qPrintable(main->windowTitle()));
    } else {
        QCOMPARE(main->cmb()->currentIndex(), -1);
    }
    for (int i = 0; i < 4; ++i)
        QCOMPARE(main->okiniiri(i)->text(), row.at(i));
}

void TestViewFlow::screenshots()
{
    Run run;
    run.storeDay();
    run.start();
    MainWindow *main = run.main();
    main->mc()->trigger();
    QTest::keyClicks(run.player()->txb(), u"3471"_qs);
    QTest::mouseClick(run.player()->cmd1(), Qt::LeftButton);
    main->ms()->trigger();
    chooseVenue(main, Karatsu);
    clickRace(main, 5);
    QCOMPARE(main->okiniiri(2)->text(), u" 5 R"_qs);
    QCOMPARE(texts(Dialogs::takeAsked()), QStringList { u"記録成功 / 設定を記録しました。"_qs });
    QVERIFY(main->grab().save(QDir::current().absoluteFilePath(u"main-karatsu-5r.png"_qs)));

    main->mc()->trigger();
    QVERIFY(run.player()->grab().save(QDir::current().absoluteFilePath(u"player.png"_qs)));
    run.player()->hide();
    main->mv()->trigger();
    QVERIFY(run.app->versionDialog());
    QVERIFY(
        run.app->versionDialog()->grab().save(QDir::current().absoluteFilePath(u"version.png"_qs)));
}

void TestViewFlow::aboutBoxTwice()
{
    Run run;
    run.start();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"https"_qs, &catcher, "open");

    run.main()->mv()->trigger();
    QPointer<VersionDialog> box = run.app->versionDialog();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowTitle(), u"バージョン情報"_qs);
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QCOMPARE(box->size(), QSize(294, 190));
    QCOMPARE(versionText(),
        u"ルセナソフト version 1.00\r\n\r\nhttps://example.org/rusena/\r\n\r\n"
        u"ルセナソフト開発チーム"_qs);
    QCOMPARE(box->lb()->text(), versionText());
    QCOMPARE(box->focusWidget(), box->command1());

    // The home page opens, and the box stays.
    QTest::mouseClick(box->cmd2(), Qt::LeftButton);
    QCOMPARE(catcher.url, u"https://example.org/rusena/"_qs);
    QCOMPARE(box->cmd2()->text(), catcher.url);
    QVERIFY(box->isVisible());

    // OK hides; the next opening shows the same box with the same text.
    QTest::mouseClick(box->command1(), Qt::LeftButton);
    QVERIFY(box && box->isHidden());
    run.main()->mv()->trigger();
    QCOMPARE(run.app->versionDialog(), box.data());
    QVERIFY(box->isVisible());
    QCOMPARE(box->lb()->text(), versionText());

    // The close box discards it; the next opening builds it again.
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!box);
    run.main()->mv()->trigger();
    QVERIFY(run.app->versionDialog() && run.app->versionDialog()->isVisible());
    QCOMPARE(run.app->versionDialog()->lb()->text(), versionText());
    QDesktopServices::unsetUrlHandler(u"https"_qs);
}

void TestViewFlow::shutDown_data()
{
    QTest::addColumn<bool>("viaCloseBox");
    QTest::newRow("mend") << false;
    QTest::newRow("close box of main") << true;
}

void TestViewFlow::shutDown()
{
    QFETCH(bool, viaCloseBox);

    Run run;
    run.storeDay();
    run.start();
    // Both dialogs have been used and hidden again.
    run.main()->mc()->trigger();
    QTest::mouseClick(run.player()->cmd2(), Qt::LeftButton);
    run.main()->mv()->trigger();
    QTest::mouseClick(run.app->versionDialog()->command1(), Qt::LeftButton);

    QPointer<MainWindow> main = run.main();
    QTimer::singleShot(0, main, [&] {
        if (viaCloseBox)
            main->close();
        else
            main->mend()->trigger();
    });
    bool timedOut = false;
    QTimer::singleShot(5000, qApp, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    const int status = QApplication::exec();
    QVERIFY(!timedOut);
    QCOMPARE(status, 0);

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!main);
    QVERIFY(!run.app->playerDialog());
    QVERIFY(!run.app->versionDialog());
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

QTEST_MAIN(TestViewFlow)
#include "tst_viewflow.moc"
