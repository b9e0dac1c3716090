#include "libraryfixture.h"

#include "app/dialogs.h"
#include "app/historywindow.h"
#include "app/payoutwindow.h"
#include "app/periodbar.h"
#include "app/racetable.h"
#include "app/statswindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

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
    void csvExportReadBack();
    void csvExportFailureWarns();
    void copyToClipboard();

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
    HistoryWindow w;
    w.setDatabase(m_db);
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
    HistoryWindow w;
    w.setDatabase(m_db);
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
    QVERIFY(w.summaryLabel()->text().contains(QStringLiteral("出走 3　1着 1　2着 0　3着 2")));
}

void TestLibraryWindows::doubleClickOpensRace()
{
    HistoryWindow w;
    w.setDatabase(m_db);
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
        << QStringLiteral("payouts") << QStringLiteral("払戻金#4") << Qt::DescendingOrder
        << QStringList { QStringLiteral("12,340"), QStringLiteral("10,001"),
               QStringLiteral("5,000 / 4,000"), QString() };
    QTest::newRow("ST, marks last")
        << QStringLiteral("history") << QStringLiteral("ST") << Qt::AscendingOrder
        << QStringList { QStringLiteral("0.12"), QStringLiteral("L .") };
    QTest::newRow("win rate, empty last")
        << QStringLiteral("stats") << QStringLiteral("勝率") << Qt::DescendingOrder
        << QStringList { QStringLiteral("1.000"), QStringLiteral("1.000"), QStringLiteral("0.667"),
               QStringLiteral("0.500") };
}

void TestLibraryWindows::sortsNumbersAsNumbers()
{
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, texts);
    HistoryWindow history;
    PayoutWindow payouts;
    StatsWindow stats;
    RaceTable *table = nullptr;
    if (window == u"history") {
        history.setDatabase(m_db);
        history.lookUp(QStringLiteral("4104"));
        table = history.table();
    } else if (window == u"payouts") {
        payouts.setDatabase(m_db);
        payouts.showDay({});
        table = payouts.table();
    } else {
        stats.setDatabase(m_db);
        stats.refresh();
        table = stats.table();
    }
    // "払戻金#4": the fourth column of that title (the ３連単's).
    const QStringList parts = title.split(u'#');
    int c = -1;
    for (int n = parts.size() > 1 ? parts[1].toInt() : 1; n > 0; --n)
        c = headerColumn(*table->model(), parts[0], c + 1);
    QVERIFY(c >= 0);
    table->sortByColumn(c, order);
    QCOMPARE(column(*table->model(), c).mid(0, texts.size()), texts);
}

void TestLibraryWindows::payoutFilterAndFigures()
{
    PayoutWindow w;
    w.setDatabase(m_db);
    w.showDay(QDate(2020, 1, 1));
    QCOMPARE(w.table()->model()->rowCount(), 2);
    QCOMPARE(w.summaryLabel()->text(),
        QStringLiteral(
            "レース数 2　３連単 中央値 8,670 円　最高 12,340 円　10,000 円以上 1 レース"));
    w.periodBar()->setPeriod({});
    w.minimumBox()->setValue(10000);
    QCOMPARE(w.table()->model()->rowCount(), 1); // the period is still the day until it changes
    w.periodBar()->fromEdit()->setDate(QDate(2020, 1, 1));
    QCOMPARE(w.table()->model()->rowCount(), 2);
    QCOMPARE(w.summaryLabel()->text(),
        QStringLiteral(
            "レース数 2　３連単 中央値 11,171 円　最高 12,340 円　10,000 円以上 2 レース"));
}

void TestLibraryWindows::csvExportReadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("統計.csv"));
    StatsWindow w;
    w.setDatabase(m_db);
    w.periodBar()->venueBox()->setCurrentIndex(1); // 桐生
    w.table()->sortByColumn(6, Qt::DescendingOrder); // the file keeps the order shown
    Dialogs::setNextFile(path);
    w.findChild<QPushButton *>(QStringLiteral("exportCsv"))->click();
    QCOMPARE(Dialogs::takeAsked().size(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 8); // header, six courses, the empty piece after the last CR LF
    QCOMPARE(lines[0], QStringLiteral("場,コース,出走,1着,2着,3着,勝率,2連対率,3連対率,平均ST"));
    QCOMPARE(lines[1], QStringLiteral("桐生,1,2,1,1,0,0.500,1.000,1.000,0.140"));
    QCOMPARE(lines[2], QStringLiteral("桐生,3,2,1,0,1,0.500,0.500,1.000,0.145"));
    QCOMPARE(lines[6], QStringLiteral("桐生,6,0,0,0,0,,,,"));
    QCOMPARE(lines[7], QString());
}

void TestLibraryWindows::csvExportFailureWarns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/x.csv"));
    HistoryWindow w;
    w.setDatabase(m_db);
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
    StatsWindow w;
    w.setDatabase(m_db);
    w.refresh();
    w.findChildren<QPushButton *>(QStringLiteral("copyTable")).at(1)->click(); // techniques
    QCOMPARE(QApplication::clipboard()->text(),
        QStringLiteral("決まり手\t回数\t割合\nまくり\t1\t0.333\n差し\t1\t0.333\n逃げ\t1\t0.333\n"));
}

QTEST_MAIN(TestLibraryWindows)
#include "tst_librarywindows.moc"
