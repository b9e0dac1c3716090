// The race library through the real main window, offscreen: files dropped on it (one
// text file, several, a cancelled batch), the day picker walked with the keyboard, the
// previous and next day, and the window title naming what is on show. Message boxes and
// progress dialogs are answered through the Dialogs hook.

#include "archiveserver.h"

#include "app/app.h"
#include "app/daypicker.h"
#include "app/dialogs.h"
#include "app/faces.h"
#include "app/favouriteraceswindow.h"
#include "app/fetchdialog.h"
#include "app/fetchjob.h"
#include "app/historywindow.h"
#include "app/librarywindows.h"
#include "app/mainwindow.h"
#include "app/payoutwindow.h"
#include "app/periodbar.h"
#include "app/programmewindow.h"
#include "app/racetable.h"
#include "app/statswindow.h"
#include "filebytes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace rusena;
using namespace Qt::StringLiterals;

namespace {

const QByteArray Unreadable = QByteArrayLiteral("<unreadable>");

QString testData(const QString &name)
{
    return QStringLiteral(RUSENA_TEST_DATA "/") + name;
}

/// A private data folder, a started program on it, and the messages it asked.
struct Run {
    QTemporaryDir root;
    DataFolder folder = DataFolder::below(root.path());
    std::unique_ptr<App> app;
    QList<Message> asked;

    Run()
    {
        Dialogs::setObserver([this](const Message &m) { asked.append(m); });
        app = std::make_unique<App>(folder);
        app->start();
        asked.clear(); // the start-up's "read a file first"
    }
    MainWindow *main() const { return app->mainWindow(); }

    // Drops the files on the main window as a file manager would.
    void drop(const QStringList &names)
    {
        QList<QUrl> urls;
        for (const QString &name : names)
            urls.append(QUrl::fromLocalFile(testData(name)));
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint at = main()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main(), &dropped);
        QTRY_VERIFY(!asked.isEmpty()); // the import runs once the drop has returned
        QTRY_VERIFY(!app->libraryBusy()); // and files the day on a thread of its own
    }

    QStringList dayList()
    {
        app->libraryActions().pickDay->trigger();
        DayPicker *picker = app->dayPicker();
        QStringList rows;
        for (int i = 0; picker && i < picker->list()->count(); ++i)
            rows.append(picker->list()->item(i)->text());
        return rows;
    }
};

} // namespace

class TestLibraryView final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void drops_data();
    void drops();
    void pickerWalksDays();
    void historyRowOpensRace();
    void windowQueriesAfterRebuild_data();
    void windowQueriesAfterRebuild();
    void programmeWindow();
    void favouriteRaces_data();
    void favouriteRaces();
    void fetchKeepsWindowResponsiveAndCancels();
};

void TestLibraryView::initTestCase()
{
    installFaceSubstitutions();
    QApplication::setFont(designFont(faces::PGothic, 9));
}

void TestLibraryView::init()
{
    Dialogs::setAnswering(true);
}

void TestLibraryView::cleanup()
{
    Dialogs::setAnswering(false);
}

void TestLibraryView::drops_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("cancelAfter"); // progress steps before the cancel, -1 for none
    QTest::addColumn<QString>("message"); // caption / the message's first line
    QTest::addColumn<QString>("onShow"); // racek.dat holds this file
    QTest::addColumn<QStringList>("days"); // the day picker's rows, date part

    QTest::newRow("two text files")
        << QStringList { u"k200814.txt"_s, u"k200815.txt"_s } << -1
        << u"取り込み結果 / 追加 2 日、置き換え 0 日、登録済みと同じ 0 日、取り込めなかったもの 0 件"_s
        << u"k200815.txt"_s << QStringList { u"2020/08/15 (土)"_s, u"2020/08/14 (金)"_s };
    QTest::newRow("an archive and a file that is no day")
        << QStringList { u"k200414.lzh"_s, u"k200814.txt"_s, u"golden/../filebytes.h"_s } << -1
        << u"取り込み結果 / 追加 2 日、置き換え 0 日、登録済みと同じ 0 日、取り込めなかったもの 1 件"_s
        << u"k200814.txt"_s << QStringList { u"2020/08/14 (金)"_s, u"2020/04/14 (火)"_s };
    QTest::newRow("cancelled after two files")
        << QStringList { u"k200814.txt"_s, u"k200105.txt"_s, u"k200815.txt"_s } << 2
        << u"取り込み結果 / 取り込みを中止しました。2 日分は取り込み済みです。"_s
        << u"k200814.txt"_s << QStringList { u"2020/08/14 (金)"_s, u"2020/01/05 (日)"_s };
    QTest::newRow("one text file goes the way of 開く")
        << QStringList { u"k200815.txt"_s } << -1
        << u"ファイルコピー終了 / レース結果ファイルコピー終了"_s << u"k200815.txt"_s
        << QStringList { u"2020/08/15 (土)"_s };
}

void TestLibraryView::drops()
{
    QFETCH(QStringList, files);
    QFETCH(int, cancelAfter);
    QFETCH(QString, message);
    QFETCH(QString, onShow);
    QFETCH(QStringList, days);

    Run run;
    Dialogs::setCancelAfter(cancelAfter);
    run.drop(files);
    QCOMPARE(run.asked.size(), 1); // one summary for the whole batch
    const Message &m = run.asked.constFirst();
    QCOMPARE(m.caption + u" / "_s + m.text.section(u'\n', 0, 0), message);

    // The latest day of the batch is on show, as after 開く.
    QCOMPARE(
        readBytes(run.folder.racekPath(), Unreadable), readBytes(testData(onShow), Unreadable));
    QVERIFY(run.main()->cmb()->count() > 0);
    QCOMPARE(run.main()->cmb()->currentIndex(), -1);
    QVERIFY2(run.main()->windowTitle().contains(days.constFirst().left(10)),
        qPrintable(run.main()->windowTitle()));

    QStringList listed;
    for (const QString &row : run.dayList())
        listed.append(row.left(14));
    if (cancelAfter < 0)
        QCOMPARE(listed.first(1), days.first(1));
    listed.sort();
    days.sort();
    QCOMPARE(listed, days);
}

void TestLibraryView::pickerWalksDays()
{
    Run run;
    run.drop({ u"k200814.txt"_s, u"k200815.txt"_s, u"k200907.txt"_s });
    run.asked.clear();
    QCOMPARE(run.dayList().size(), 3);
    DayPicker *picker = run.app->dayPicker();
    QVERIFY(picker->isVisible());
    // The day on show (the newest) is selected; two steps down is the oldest.
    QCOMPARE(picker->list()->currentRow(), 0);
    if (const QByteArray path = qgetenv("RUSENA_DAYPICKER_PNG"); !path.isEmpty())
        picker->grab().save(QString::fromLocal8Bit(path));
    QTest::keyClick(picker->list(), Qt::Key_Down);
    QTest::keyClick(picker->list(), Qt::Key_Down);
    QTest::keyClick(picker->list(), Qt::Key_Return);
    QVERIFY(!picker->isVisible());
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 8, 14));
    QCOMPARE(readBytes(run.folder.racekPath(), Unreadable),
        readBytes(testData(u"k200814.txt"_s), Unreadable));
    QCOMPARE(run.asked, QList<Message>()); // choosing a day asks nothing

    // Next and previous stored day; past the newest, a notice and nothing changes.
    run.app->libraryActions().nextDay->trigger();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 8, 15));
    run.app->libraryActions().nextDay->trigger();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 9, 7));
    run.app->libraryActions().nextDay->trigger();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 9, 7));
    QCOMPARE(run.asked.size(), 1);
    run.app->libraryActions().previousDay->trigger();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 8, 15));

    // The title names the day, then the venue and race on screen.
    QCOMPARE(run.main()->windowTitle(), u"ルセナソフト - 2020/08/15 (土)"_s);
    QComboBox *cmb = run.main()->cmb();
    cmb->setCurrentIndex(cmb->findText(u"唐津"_s));
    QListWidget *races = run.main()->list1();
    QTest::mouseClick(
        races->viewport(), Qt::LeftButton, {}, races->visualItemRect(races->item(4)).center());
    QCOMPARE(run.main()->windowTitle(), u"ルセナソフト - 2020/08/15 (土) 唐津 5R"_s);
}

// A double-click on a row of 選手成績 shows that day, venue and race in the main window,
// as if the user had picked them there.
void TestLibraryView::historyRowOpensRace()
{
    Run run;
    run.drop({ u"k200814.txt"_s, u"k200815.txt"_s, u"k200907.txt"_s });
    run.asked.clear();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 9, 7));

    run.app->libraryWindows()->openHistory(u"3471"_s);
    HistoryWindow *history = run.app->libraryWindows()->history();
    QVERIFY(history && history->isVisible());
    RaceTable *table = history->table();
    const QAbstractItemModel *rows = table->model();
    int row = -1;
    for (int r = 0; r < rows->rowCount() && row < 0; ++r) {
        if (rows->index(r, 0).data().toString() == u"2020/08/15"_s
            && rows->index(r, 2).data().toString() == u"5R"_s)
            row = r;
    }
    QVERIFY2(row >= 0, "唐津 5R of 2020/08/15 is not in the history");
    const QPoint at = table->visualRect(rows->index(row, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);

    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 8, 15));
    QCOMPARE(readBytes(run.folder.racekPath(), Unreadable),
        readBytes(testData(u"k200815.txt"_s), Unreadable));
    QCOMPARE(run.main()->cmb()->currentText(), u"唐津"_s);
    QCOMPARE(run.main()->list1()->currentRow(), 4);
    QCOMPARE(run.main()->windowTitle(), u"ルセナソフト - 2020/08/15 (土) 唐津 5R"_s);
    QCOMPARE(run.asked, QList<Message>());
}

void TestLibraryView::windowQueriesAfterRebuild_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("統計") << u"stats"_s;
    QTest::newRow("選手成績") << u"history"_s;
    QTest::newRow("払戻金一覧") << u"payouts"_s;
}

// A rebuild closes the library's connection and opens another: a window open across it
// asks for the new one at its next query.
void TestLibraryView::windowQueriesAfterRebuild()
{
    QFETCH(QString, window);
    Run run;
    run.drop({ u"k200814.txt"_s, u"k200815.txt"_s });
    LibraryWindows *windows = run.app->libraryWindows();
    PeriodBar *period = nullptr;
    RaceTable *table = nullptr;
    if (window == u"stats") {
        windows->openStats();
        period = windows->stats()->periodBar();
        table = windows->stats()->table();
    } else if (window == u"history") {
        windows->openHistory(u"3471"_s);
        period = windows->history()->periodBar();
        table = windows->history()->table();
    } else {
        windows->openPayouts(QDate(2020, 8, 15));
        period = windows->payouts()->periodBar();
        table = windows->payouts()->table();
    }
    run.app->libraryActions().rebuild->trigger();
    run.asked.clear();
    period->setPeriod({ QDate(2020, 8, 14), QDate(2020, 8, 15), 0 });
    Q_EMIT period->changed();
    QCOMPARE(run.asked, QList<Message>());
    QVERIFY(table->model()->rowCount() > 0);
}

namespace {

// Double-clicks the cell as a user would.
void doubleClick(QTableWidget *table, int row, int column)
{
    const QPoint at = table->visualItemRect(table->item(row, column)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

void TestLibraryView::programmeWindow()
{
    Run run;
    // A programme dropped alone goes the library's way: counted apart, never on show.
    run.drop({ u"B200414.TXT"_s });
    QVERIFY2(run.asked.constFirst().text.contains(u"番組表 1 日を追加"_s),
        qPrintable(run.asked.constFirst().text));
    QVERIFY(!QFile::exists(run.folder.racekPath()));
    run.asked.clear();
    run.drop({ u"k200105.txt"_s, u"b200105.lzh"_s });
    run.asked.clear();
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 1, 5));
    run.main()->cmb()->setCurrentIndex(run.main()->cmb()->findText(u"大村"_s));
    run.main()->list1()->setCurrentRow(6);
    QCOMPARE(run.main()->list1()->currentRow(), 6);

    // The shortcut's action opens it on the venue and race on show.
    run.main()->mprogramme()->trigger();
    ProgrammeWindow *w = run.app->libraryWindows()->programme();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->dayBox()->currentData().toDate(), QDate(2020, 1, 5));
    QCOMPARE(w->venueBox()->currentText(), u"大村"_s);
    QCOMPARE(w->raceBox()->currentText(), u"7R"_s);
    QVERIFY2(w->headerLabel()->text().contains(u"締切予定 18:03"_s),
        qPrintable(w->headerLabel()->text()));
    QTableWidget *table = w->table();
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(table->item(1, 1)->text(), u"3871"_s);
    // The result of that day stands beside the programme.
    QCOMPARE(table->horizontalHeaderItem(table->columnCount() - 3)->text(), u"着"_s);
    QVERIFY(w->showResultButton()->isEnabled());

    doubleClick(table, 1, 2);
    HistoryWindow *history = run.app->libraryWindows()->history();
    QVERIFY(history && history->isVisible());
    QCOMPARE(history->shownPlayer(), u"3871"_s);

    run.main()->list1()->setCurrentRow(0);
    QTest::mouseClick(w->showResultButton(), Qt::LeftButton);
    QCOMPARE(run.main()->cmb()->currentText(), u"大村"_s);
    QCOMPARE(run.main()->list1()->currentRow(), 6);
    QCOMPARE(run.asked, QList<Message>());
}

void TestLibraryView::favouriteRaces_data()
{
    QTest::addColumn<QString>("favourite");
    QTest::addColumn<QStringList>("rows"); // 場 レース 艇 締切予定
    QTest::addColumn<QString>("opens"); // the 出走表 a double-click on the first row opens

    QTest::newRow("entered twice")
        << u"3871"_s << QStringList { u"大村 1R 1 15:19"_s, u"大村 7R 2 18:03"_s } << u"大村 1R"_s;
    QTest::newRow("not entered that day") << u"4320"_s << QStringList {} << QString();
}

void TestLibraryView::favouriteRaces()
{
    QFETCH(QString, favourite);
    QFETCH(QStringList, rows);
    QFETCH(QString, opens);
    Run run;
    run.drop({ u"k200105.txt"_s, u"b200105.lzh"_s });
    run.asked.clear();
    run.app->session().setRegistrationText(favourite);
    run.app->session().saveRegistration([](const Message &) { return true; });

    run.main()->mfavouriteraces()->trigger();
    FavouriteRacesWindow *w = run.app->libraryWindows()->favouriteRaces();
    QVERIFY(w && w->isVisible());
    QTableWidget *table = w->table();
    QStringList listed;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells.append(table->item(r, c)->text());
        listed.append(cells.join(u' '));
    }
    QCOMPARE(listed, rows);
    if (opens.isEmpty())
        return;
    // Enter on the row opens it as a double-click does.
    table->setCurrentCell(0, 0);
    QTest::keyClick(table, Qt::Key_Return);
    ProgrammeWindow *programme = run.app->libraryWindows()->programme();
    QVERIFY(programme && programme->isVisible());
    QCOMPARE(
        programme->venueBox()->currentText() + u' ' + programme->raceBox()->currentText(), opens);
}

// ファイル > 期間を指定して取得 from a slow server on 127.0.0.1: the dialog says how long a
// year takes; while an archive trickles in, the GUI thread keeps handling events; cancel
// stops after the request under way, whose day is filed and shown.
void TestLibraryView::fetchKeepsWindowResponsiveAndCancels()
{
    archiveserver::ArchiveServer server(testData(u"fetch"_s), testData(u"fetch"_s));
    QVERIFY(server.start());
    server.scriptAll({ archiveserver::Answer::Kind::Slow, 200, {}, 60 }); // about 0.6 s each
    QSettings().setValue(u"fetch/source"_s, server.source());
    Run run;
    run.app->libraryActions().fetchPeriod->trigger();
    // The library is opened first, as a job of its own.
    QTRY_VERIFY(run.app->fetchDialog());
    FetchDialog *dialog = run.app->fetchDialog();
    QVERIFY(dialog->estimate().contains(u"約"_s));
    dialog->fromEdit()->setDate(QDate(2020, 1, 1));
    dialog->toEdit()->setDate(QDate(2020, 12, 31));
    QVERIFY2(dialog->estimate().startsWith(u"366 日、要求 732 件: 間隔 2 秒で約 24 分"_s),
        qPrintable(dialog->estimate()));
    dialog->toEdit()->setDate(QDate(2020, 1, 3));
    dialog->kindBox()->setCurrentIndex(1); // results only
    dialog->accept();
    QVERIFY(run.app->fetchJob());
    QTRY_COMPARE(server.requests().size(), 1);

    // A tick every 10 ms while the answer trickles in: no gap may be long.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start(10);
    QTest::qWait(300);
    ticker.stop();
    QVERIFY2(longest < 100, qPrintable(u"the GUI thread stood still for %1 ms"_s.arg(longest)));
    QProgressDialog *progress = run.app->fetchJob()->progressDialog();
    QVERIFY(progress->isVisible());
    QVERIFY2(progress->labelText().contains(u"2020/01/01"_s), qPrintable(progress->labelText()));
    QVERIFY(progress->labelText().contains(server.source()));

    auto *cancel = progress->findChild<QPushButton *>();
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!run.app->fetchJob(), 10000);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(run.asked.size(), 1);
    QVERIFY2(run.asked.constFirst().text.startsWith(u"追加 1、"_s),
        qPrintable(run.asked.constFirst().text));
    QVERIFY(run.asked.constFirst().text.contains(u"中止しました"_s));
    QCOMPARE(run.app->session().dayOnShow(), QDate(2020, 1, 1));
}

QTEST_MAIN(TestLibraryView)
#include "tst_libraryview.moc"
