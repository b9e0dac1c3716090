#include "libraryfixture.h"

#include "app/datebox.h"
#include "app/dialogs.h"
#include "app/historywindow.h"
#include "app/librarywindows.h"
#include "app/payoutwindow.h"
#include "app/periodbar.h"
#include "app/racetable.h"
#include "app/statswindow.h"
#include "app/tableexport.h"

#include <QApplication>
#include <QBarSeries>
#include <QCalendarWidget>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QValueAxis>

using namespace rusena;

Q_DECLARE_METATYPE(rusena::RaceRef)

namespace {

QStringList column(const QAbstractItemModel &model, int c)
{
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts << model.index(r, c).data().toString();
    return texts;
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

int headerColumn(const QAbstractItemModel &model, const QString &title, int from = 0)
{
    for (int c = from; c < model.columnCount(); ++c) {
        if (model.headerData(c, Qt::Horizontal).toString() == title)
            return c;
    }
    return -1;
}

} // namespace

class TestLibraryWindows final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void nameSearch_data();
    void nameSearch();
    void severalPlayersOfferList();
    void doubleClickOpensRace();
    void sortsNumbersAsNumbers_data();
    void sortsNumbersAsNumbers();
    void payoutFilterAndFigures();
    void csvExportReadBack_data();
    void csvExportReadBack();
    void csvExportFailureWarns();
    void copyToClipboard();
    void windowFitsScreen_data();
    void windowFitsScreen();
    void periodBox_data();
    void periodBox();
    void countAxis_data();
    void countAxis();
    void historyChart_data();
    void historyChart();
    void historyChartKeepsLastRaces();
    void matchListShowsEveryPlayer();
    void reopenedHistorySelectsSearch();

private:
    QSqlDatabase m_db;
};

void TestLibraryWindows::initTestCase()
{
    qRegisterMetaType<RaceRef>();
    m_db = libraryfixture::open(QStringLiteral("windows"));
    Dialogs::setAnswering(true);
}

void TestLibraryWindows::init()
{
    Dialogs::takeAsked();
}

void TestLibraryWindows::nameSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reg");
    QTest::addColumn<int>("rows");
    QTest::newRow("registration number") << QStringLiteral("4101") << QStringLiteral("4101") << 4;
    QTest::newRow("full-width digits") << QStringLiteral("４１０２") << QStringLiteral("4102") << 3;
    QTest::newRow("part of the name, one player")
        << QStringLiteral("尊") << QStringLiteral("4101") << 4;
    QTest::newRow("name with blanks")
        << QStringLiteral("長　尾　　京") << QStringLiteral("4102") << 3;
    QTest::newRow("no one") << QStringLiteral("山本") << QString() << 0;
}

void TestLibraryWindows::nameSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, reg);
    QFETCH(int, rows);
    HistoryWindow w(fixedDatabase(m_db));
    w.show();
    w.playerEdit()->setFocus();
    typeText(w.playerEdit(), typed);
    QTest::keyClick(w.playerEdit(), Qt::Key_Return);
    QCOMPARE(w.shownPlayer(), reg);
    QCOMPARE(w.table()->model()->rowCount(), rows);
    QVERIFY(w.matchList()->isHidden());
}

void TestLibraryWindows::severalPlayersOfferList()
{
    HistoryWindow w(fixedDatabase(m_db));
    w.show();
    w.lookUp(QStringLiteral("長 尾"));
    QVERIFY(w.matchList()->isVisible());
    QCOMPARE(w.matchList()->count(), 2);
    QVERIFY(w.matchList()->item(0)->text().startsWith(QStringLiteral("4102  長　尾　　京志郎")));
    QVERIFY(w.matchList()->item(1)->text().startsWith(QStringLiteral("4103  長　尾　　太　郎")));
    QCOMPARE(w.shownPlayer(), QString());

    w.matchList()->setCurrentRow(1);
    w.matchList()->setFocus();
    QTest::keyClick(w.matchList(), Qt::Key_Return);
    QCOMPARE(w.shownPlayer(), QStringLiteral("4103"));
    // Newest first; the void race is listed, but is no start.
    QCOMPARE(column(*w.table()->model(), 0),
        (QStringList { QStringLiteral("2020/01/03"), QStringLiteral("2020/01/02"),
            QStringLiteral("2020/01/01"), QStringLiteral("2020/01/01") }));
    QVERIFY(w.summaryLabel()->text().startsWith(QStringLiteral("4103 長　尾　　太　郎")));
}

void TestLibraryWindows::doubleClickOpensRace()
{
    HistoryWindow w(fixedDatabase(m_db));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.lookUp(QStringLiteral("4101"));
    QSignalSpy opened(&w, &HistoryWindow::raceActivated);
    RaceTable *table = w.table();
    const QRect cell = table->visualRect(table->model()->index(1, 0)); // 2020-01-02, 桐生 3R
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(opened.size(), 1);
    auto race = opened.takeFirst().at(0).value<RaceRef>();
    QCOMPARE(race.date, QDate(2020, 1, 2));
    QCOMPARE(race.venueCode, 1);
    QCOMPARE(race.race, 3);

    table->setFocus();
    table->setCurrentIndex(table->model()->index(3, 2)); // the oldest: 2020-01-01 桐生 1R
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(opened.size(), 1);
    race = opened.takeFirst().at(0).value<RaceRef>();
    QCOMPARE(race.date, QDate(2020, 1, 1));
    QCOMPARE(race.race, 1);
}

void TestLibraryWindows::sortsNumbersAsNumbers_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("３連単 by yen, not text")
        << QStringLiteral("payouts") << QStringLiteral("３連単払戻金") << Qt::DescendingOrder
        << QStringList { QStringLiteral("12,340"), QStringLiteral("10,001"),
               QStringLiteral("5,000 / 4,000"), QString() };
    QTest::newRow("ST, marks last")
        << QStringLiteral("history") << QStringLiteral("ST") << Qt::AscendingOrder
        << QStringList { QStringLiteral("0.12"), QStringLiteral("L .") };
    QTest::newRow("1着率, empty last")
        << QStringLiteral("stats") << QStringLiteral("1着率(%)") << Qt::DescendingOrder
        << QStringList { QStringLiteral("100.0"), QStringLiteral("100.0"), QStringLiteral("66.7"),
               QStringLiteral("50.0") };
    QTest::newRow("勝率 as a number")
        << QStringLiteral("stats") << QStringLiteral("勝率") << Qt::DescendingOrder
        << QStringList { QStringLiteral("10.00"), QStringLiteral("10.00"), QStringLiteral("9.33") };
}

void TestLibraryWindows::sortsNumbersAsNumbers()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, texts);
    HistoryWindow history(fixedDatabase(m_db));
    PayoutWindow payouts(fixedDatabase(m_db));
    StatsWindow stats(fixedDatabase(m_db));
    RaceTable *table = nullptr;
    if (window == u"history") {
        history.lookUp(QStringLiteral("4104"));
        table = history.table();
    } else if (window == u"payouts") {
        payouts.showDay({});
        table = payouts.table();
    } else {
        stats.refresh();
        table = stats.table();
    }
    const int c = headerColumn(*table->model(), title);
    QVERIFY(c >= 0);
    table->sortByColumn(c, order);
    QCOMPARE(column(*table->model(), c).mid(0, texts.size()), texts);
}

void TestLibraryWindows::payoutFilterAndFigures()
{
    PayoutWindow w(fixedDatabase(m_db));
    w.showDay(QDate(2020, 1, 1));
    QCOMPARE(w.table()->model()->rowCount(), 2);
    QVERIFY(w.summaryLabel()->text().startsWith(QStringLiteral("レース数 2")));
    w.periodBar()->setPeriod({});
    w.minimumBox()->setValue(10000);
    QCOMPARE(w.table()->model()->rowCount(), 1); // the period is still the day until it changes
    w.periodBar()->fromBox()->setDate(QDate(2020, 1, 1));
    QCOMPARE(w.table()->model()->rowCount(), 2);
    QVERIFY(w.summaryLabel()->text().startsWith(QStringLiteral("レース数 2")));
}

void TestLibraryWindows::csvExportReadBack_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("fileName"); // as offered
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("line"); // a line the file holds
    QTest::newRow("統計: the order shown, named for the period and venue")
        << QStringLiteral("stats") << QStringLiteral("統計_全期間_桐生.csv")
        << QStringLiteral("場,コース,出走,1着,2着,3着,勝率,1着率(%),2連対率(%),3連対率(%),平均ST")
        << QStringLiteral("桐生,6,0,0,0,0,,,,,");
    QTest::newRow("払戻金一覧: plain yen, each column named once")
        << QStringLiteral("payouts") << QStringLiteral("払戻金一覧_20200101.csv")
        << QStringLiteral(
               "日付,場,R,単勝,単勝払戻金,複勝,複勝払戻金,２連単,２連単払戻金,２連単人気,"
               "２連複,２連複払戻金,２連複人気,拡連複,拡連複払戻金,拡連複人気,３連単,"
               "３連単払戻金,３連単人気,３連複,３連複払戻金,３連複人気,備考")
        << QStringLiteral("2020/01/01,桐生,1R,1,150,1,100,1-2,450,2,1-2,300,1,,,,1-2-3,12340,30,"
                          "1-2-3,990,5,");
    QTest::newRow("選手成績: the player's number and name on every row")
        << QStringLiteral("history") << QStringLiteral("選手成績_4101_三井所尊春_全期間.csv")
        << QStringLiteral("登録番号,選手名,日付,場,R,種別,艇,進入,ST,着,タイム,決まり手")
        << QStringLiteral("4101,三井所　　尊　春,2020/01/03,桐生,5R,一　　般,1,1,0.18,02,1.50.0,");
}

void TestLibraryWindows::csvExportReadBack()
{
    QFETCH(QString, window);
    QFETCH(QString, fileName);
    QFETCH(QString, header);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.csv"));
    HistoryWindow history(fixedDatabase(m_db));
    PayoutWindow payouts(fixedDatabase(m_db));
    StatsWindow stats(fixedDatabase(m_db));
    RaceTable *table = nullptr;
    if (window == u"stats") {
        stats.periodBar()->venueBox()->setCurrentIndex(1); // 桐生
        table = stats.table();
        table->sortByColumn(6, Qt::DescendingOrder); // the file keeps the order shown
    } else if (window == u"payouts") {
        payouts.showDay(QDate(2020, 1, 1));
        table = payouts.table();
    } else {
        history.lookUp(QStringLiteral("4101"));
        table = history.table();
    }
    QCOMPARE(table->fileName(), fileName);
    Dialogs::setNextFile(path);
    // The first button of the window is its table's (統計: the courses, not the techniques).
    table->window()->findChildren<QPushButton *>(QStringLiteral("exportCsv")).first()->click();
    QCOMPARE(Dialogs::takeAsked().size(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString()); // the empty piece after the last CR LF
    QCOMPARE(lines.first(), header);
    QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
    // Every row as the table shows it, in its order.
    QCOMPARE(lines.size(), table->model()->rowCount() + 1);
    const QString firstShown
        = table->model()->index(0, 0).data(CellTableModel::PlainRole).toString();
    QVERIFY2(lines[1].contains(firstShown), qPrintable(lines[1]));
}

void TestLibraryWindows::csvExportFailureWarns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/x.csv"));
    HistoryWindow w(fixedDatabase(m_db));
    w.lookUp(QStringLiteral("4101"));
    Dialogs::setNextFile(path);
    w.findChild<QPushButton *>(QStringLiteral("exportCsv"))->click();
    const QList<Message> asked = Dialogs::takeAsked();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].icon, MessageIcon::Warning);
    QVERIFY(asked[0].text.contains(path));
    QVERIFY(!QFile::exists(path));
}

void TestLibraryWindows::copyToClipboard()
{
    StatsWindow w(fixedDatabase(m_db));
    w.refresh();
    w.findChildren<QPushButton *>(QStringLiteral("copyTable")).at(1)->click(); // techniques
    QStringList lines;
    for (const QStringList &row : tableText(*w.techniqueTable()->model()))
        lines << row.join(u'\t');
    QCOMPARE(QApplication::clipboard()->text(), lines.join(u'\n') + u'\n');
    QCOMPARE(lines.size(), 4);
}

void TestLibraryWindows::windowFitsScreen_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("選手成績") << QStringLiteral("history");
    QTest::newRow("払戻金一覧") << QStringLiteral("payouts");
    QTest::newRow("統計") << QStringLiteral("stats");
}

void TestLibraryWindows::windowFitsScreen()
{
    QFETCH(QString, window);
    HistoryWindow history(fixedDatabase(m_db));
    PayoutWindow payouts(fixedDatabase(m_db));
    StatsWindow stats(fixedDatabase(m_db));
    QWidget *w = window == u"history" ? static_cast<QWidget *>(&history)
        : window == u"payouts"        ? static_cast<QWidget *>(&payouts)
                                      : static_cast<QWidget *>(&stats);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QRect screen = w->screen()->availableGeometry();
    QVERIFY2(screen.contains(w->frameGeometry()),
        qPrintable(QStringLiteral("%1x%2 on %3x%4")
                       .arg(w->frameGeometry().width())
                       .arg(w->frameGeometry().height())
                       .arg(screen.width())
                       .arg(screen.height())));
}

void TestLibraryWindows::periodBox_data()
{
    QTest::addColumn<QDate>("before");
    QTest::addColumn<QString>("typed"); // "<Delete>" for the key
    QTest::addColumn<QDate>("date"); // null: 指定なし
    QTest::addColumn<QString>("text");
    QTest::newRow("digits over 指定なし") << QDate() << QStringLiteral("20200301")
                                          << QDate(2020, 3, 1) << QStringLiteral("2020/03/01");
    QTest::newRow("slashes, one-digit month, over a date")
        << QDate(2020, 1, 2) << QStringLiteral("2020/3/31") << QDate(2020, 3, 31)
        << QStringLiteral("2020/03/31");
    QTest::newRow("full-width, as an input method types it")
        << QDate() << QStringLiteral("２０２０－０３－０９") << QDate(2020, 3, 9)
        << QStringLiteral("2020/03/09");
    QTest::newRow("no such day keeps the date before")
        << QDate(2020, 1, 2) << QStringLiteral("20200230") << QDate(2020, 1, 2)
        << QStringLiteral("2020/01/02");
    QTest::newRow("Delete: 指定なし")
        << QDate(2020, 1, 2) << QStringLiteral("<Delete>") << QDate() << QString();
}

void TestLibraryWindows::periodBox()
{
    QFETCH(QDate, before);
    QFETCH(QString, typed);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    StatsWindow w(fixedDatabase(m_db));
    w.refresh();
    w.show();
    DateBox *box = w.periodBar()->fromBox();
    box->showDate(before);
    QSignalSpy changed(w.periodBar(), &PeriodBar::changed);
    QLineEdit *edit = box->edit();
    edit->setFocus();
    if (typed == u"<Delete>") {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        edit->selectAll();
        typeText(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QCOMPARE(box->date(), date);
    QCOMPARE(w.periodBar()->period().from, date);
    QCOMPARE(edit->text(), text);
    QCOMPARE(changed.size(), date == before ? 0 : 1);
    // The calendar opens on the date shown, else on the newest stored day, and offers
    // only the stored span.
    Q_EMIT box->calendarButton()->menu()->aboutToShow();
    const QDate shown = date.isValid() ? date : QDate(2020, 1, 3);
    QCOMPARE(
        box->calendar()->selectedDate(), std::clamp(shown, QDate(2020, 1, 1), QDate(2020, 1, 3)));
    QCOMPARE(box->calendar()->minimumDate(), QDate(2020, 1, 1));
    QCOMPARE(box->calendar()->maximumDate(), QDate(2020, 1, 3));
}

void TestLibraryWindows::countAxis_data()
{
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("top");
    QTest::newRow("nothing") << 0 << 1 << 1;
    QTest::newRow("a bar of 2 stands at the tick 2") << 2 << 1 << 2;
    QTest::newRow("seven: steps of two") << 7 << 2 << 8;
    QTest::newRow("23: steps of five") << 23 << 5 << 25;
    QTest::newRow("480: steps of 100") << 480 << 100 << 500;
}

void TestLibraryWindows::countAxis()
{
    QFETCH(int, highest);
    QFETCH(int, step);
    QFETCH(int, top);
    const CountAxis axis = rusena::countAxis(highest);
    QCOMPARE(axis.step, step);
    QCOMPARE(axis.top, top);

    if (highest != 2)
        return;
    // The window's histogram of the whole fixture: two races in its fullest bin.
    PayoutWindow w(fixedDatabase(m_db));
    w.showDay({});
    const auto axes = w.chartView()->chart()->axes(Qt::Vertical);
    QCOMPARE(axes.size(), 1);
    const auto *y = qobject_cast<QValueAxis *>(axes.first());
    QCOMPARE(y->tickType(), QValueAxis::TicksDynamic);
    QCOMPARE(y->tickAnchor(), 0.0);
    QCOMPARE(y->tickInterval(), double(step));
    QCOMPARE(y->min(), 0.0);
    QCOMPARE(y->max(), double(top));
}

void TestLibraryWindows::historyChart_data()
{
    QTest::addColumn<QString>("reg");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<int>("lines"); // one a run of races on days in a row
    QTest::newRow("a day without races breaks the line") << QStringLiteral("4101") << QDate() << 2;
    QTest::newRow("one day") << QStringLiteral("4102") << QDate(2020, 1, 1) << 1;
    QTest::newRow("no race") << QStringLiteral("4106") << QDate() << 0;
}

void TestLibraryWindows::historyChart()
{
    QFETCH(QString, reg);
    QFETCH(QDate, to);
    QFETCH(int, lines);
    HistoryWindow w(fixedDatabase(m_db));
    w.periodBar()->setPeriod({ {}, to, 0 });
    w.lookUp(reg);
    QChart *chart = w.chartView()->chart();
    int seen = 0;
    for (QAbstractSeries *s : chart->series())
        seen += s->type() == QAbstractSeries::SeriesTypeLine;
    QCOMPARE(seen, lines);
    // Nothing to draw: no axis of one repeated day, and the title says why.
    const auto *x = qobject_cast<QDateTimeAxis *>(chart->axes(Qt::Horizontal).first());
    QCOMPARE(x->isVisible(), lines > 0);
    QCOMPARE(chart->title() == u"着順の推移", lines > 0);
    if (lines == 0)
        return;
    // No two tick labels name the same day.
    QStringList labels;
    const qint64 span = x->max().toMSecsSinceEpoch() - x->min().toMSecsSinceEpoch();
    for (int i = 0; i < x->tickCount(); ++i) {
        labels << QDateTime::fromMSecsSinceEpoch(
            x->min().toMSecsSinceEpoch() + span * i / (x->tickCount() - 1))
                      .toString(x->format());
    }
    QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
}

// A long history: the table holds every race, the chart the last 300.
void TestLibraryWindows::historyChartKeepsLastRaces()
{
    QSqlDatabase db = libraryfixture::open(QStringLiteral("long"));
    const QDate first(2019, 1, 1);
    for (int id = 1000; id <= 1300; ++id) {
        libraryfixture::race(db, id, first.addDays(id - 1000).toString(Qt::ISODate), 3, 1,
            QStringLiteral("一般"), QStringLiteral("逃げ"), false);
        libraryfixture::entry(db, id, 1, QStringLiteral("01"), 1, QStringLiteral("4999"),
            QStringLiteral("試験太郎"), 1, QStringLiteral("0.10"));
    }
    libraryfixture::rollUp(db);
    HistoryWindow w(fixedDatabase(db));
    w.lookUp(QStringLiteral("4999"));
    QCOMPARE(w.table()->model()->rowCount(), 301);
    QChart *chart = w.chartView()->chart();
    QCOMPARE(chart->title(), QStringLiteral("着順の推移（直近 300 走）"));
    const auto *points = qobject_cast<QScatterSeries *>(chart->series().constLast());
    QVERIFY(points);
    QCOMPARE(points->count(), 300);
}

void TestLibraryWindows::matchListShowsEveryPlayer()
{
    QSqlDatabase db = libraryfixture::open(QStringLiteral("ten"));
    // Ten players called 池田, in two races.
    for (int race = 0; race < 2; ++race) {
        libraryfixture::race(db, 10 + race, QStringLiteral("2020-01-04"), 3, race + 1,
            QStringLiteral("一般"), QStringLiteral("逃げ"), false);
        for (int seq = 1; seq <= 5; ++seq) {
            const int n = race * 5 + seq;
            libraryfixture::entry(db, 10 + race, seq, QStringLiteral("0%1").arg(seq), seq,
                QString::number(4200 + n), QStringLiteral("池田　%1").arg(QChar(0x4E00 + n)), seq,
                QStringLiteral("0.10"));
        }
    }
    libraryfixture::rollUp(db);
    HistoryWindow w(fixedDatabase(db));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.lookUp(QStringLiteral("池田"));
    QListWidget *list = w.matchList();
    QCOMPARE(list->count(), 10);
    for (int i = 0; i < list->count(); ++i) {
        QVERIFY2(list->viewport()->rect().contains(list->visualItemRect(list->item(i))),
            qPrintable(list->item(i)->text()));
    }
}

void TestLibraryWindows::reopenedHistorySelectsSearch()
{
    LibraryWindows windows(fixedDatabase(m_db));
    windows.openHistory(QStringLiteral("4101"));
    QCOMPARE(windows.history()->shownPlayer(), QStringLiteral("4101"));
    windows.hideAll();
    windows.openHistory(QStringLiteral("4101"));
    typeText(windows.history()->playerEdit(), QStringLiteral("4102"));
    QCOMPARE(windows.history()->playerEdit()->text(), QStringLiteral("4102"));
}

QTEST_MAIN(TestLibraryWindows)
#include "tst_librarywindows.moc"
