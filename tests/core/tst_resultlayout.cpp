// The day-file layout: the typed placing-row reader on real rows of every kind and on
// rows it must refuse, the venue code of begin lines (only two-character codes, no sign,
// no full-width blank), race labels and the payout summary that looks like one.

#include "store/resultlayout.h"

#include <QTest>

using namespace rusena;
using namespace Qt::StringLiterals;

class TestResultLayout final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsPlacingRows_data();
    void readsPlacingRows();
    void readsVenueCodes_data();
    void readsVenueCodes();
    void readsRaceLabels_data();
    void readsRaceLabels();
};

void TestResultLayout::readsPlacingRows_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("isRow");
    // placing|boat|reg|name|motor|boat number|exhibition|course|start|race time
    QTest::addColumn<QString>("fields");
    QTest::addColumn<int>("rank");

    QTest::newRow("winner")
        << u"  01  6 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8"_s << true
        << u"01|6|3522|長　溝　　一　生|46|41|6.80|4|0.03|1.51.8"_s << 1;
    QTest::newRow("F: flying start, no race time")
        << u"  F   3 4942 柴　田　　朋　哉 12   50  6.77   5   F0.04      .  . "_s << true
        << u"F|3|4942|柴　田　　朋　哉|12|50|6.77|5|F0.04|"_s << 0;
    QTest::newRow("L1: late, no course")
        << u"  L1  1 4247 齊　藤　　　　優 47   30  6.72       L .        .  . "_s << true
        << u"L1|1|4247|齊　藤　　　　優|47|30|6.72||L .|"_s << 0;
    QTest::newRow("K1: withdrawn before exhibition")
        << u"  K1  1 3690 河　合　　三　弘 61   13 K .         K .        .  . "_s << true
        << u"K1|1|3690|河　合　　三　弘|61|13|K .||K .|"_s << 0;
    QTest::newRow("00 of a void race")
        << u"  00  6 4053 芦　澤　　　　望 23   28  6.85   6    0.05      .  . "_s << true
        << u"00|6|4053|芦　澤　　　　望|23|28|6.85|6|0.05|"_s << 0;
    QTest::newRow("trailing blanks beyond the width")
        << u"  01  6 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8   　"_s << true
        << u"01|6|3522|長　溝　　一　生|46|41|6.80|4|0.03|1.51.8"_s << 1;
    QTest::newRow("short row: fields past its end are empty")
        << u"  02  3 4101 三井所　　尊　春"_s << true << u"02|3|4101|三井所　　尊　春||||||"_s << 2;
    QTest::newRow("wider than a row")
        << u"  01  6 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8 x"_s << false
        << QString() << 0;
    QTest::newRow("boat 7")
        << u"  01  7 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8"_s << false
        << QString() << 0;
    QTest::newRow("registration with a letter")
        << u"  01  6 35A2 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8"_s << false
        << QString() << 0;
    QTest::newRow("text in columns 1-2")
        << u"x 01  6 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8"_s << false
        << QString() << 0;
    QTest::newRow("column titles")
        << u"  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ"_s << false
        << QString() << 0;
    QTest::newRow("too short for a registration") << u"  01  6 35"_s << false << QString() << 0;
    QTest::newRow("empty") << QString() << false << QString() << 0;
}

void TestResultLayout::readsPlacingRows()
{
    QFETCH(QString, line);
    QFETCH(bool, isRow);
    QFETCH(QString, fields);
    QFETCH(int, rank);

    QCOMPARE(layout::isPlacingRow(line), isRow);
    const std::optional<layout::PlacingRow> row = layout::readPlacingRow(line);
    QCOMPARE(row.has_value(), isRow);
    if (!row)
        return;
    QStringList read;
    for (const QStringView field : { row->placing, row->boat, row->reg, row->name, row->motor,
             row->boatNumber, row->exhibition, row->course, row->start, row->raceTime })
        read.append(field.toString());
    QCOMPARE(read.join(u'|'), fields);
    QCOMPARE(row->rank(), rank);
}

void TestResultLayout::readsVenueCodes_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("begins");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<int>("code");

    QTest::newRow("two digits") << u"23KBGN"_s << true << false << 23;
    QTest::newRow("leading zero") << u"05KBGN"_s << true << false << 5;
    QTest::newRow("blank before the digit") << u" 5KBGN"_s << true << false << 5;
    QTest::newRow("blank after the digit") << u"5 KBGN"_s << true << false << 5;
    QTest::newRow("end line") << u"12KEND"_s << false << true << 12;
    QTest::newRow("code 0 is read, not listed") << u"00KBGN"_s << true << false << 0;
    QTest::newRow("code over 24 is read, not listed") << u"99KBGN"_s << true << false << 99;
    QTest::newRow("sign") << u"+5KBGN"_s << true << false << -1;
    QTest::newRow("minus") << u"-5KBGN"_s << true << false << -1;
    QTest::newRow("full-width blank") << u"1　KBGN"_s << true << false << -1;
    QTest::newRow("full-width digits") << u"２３KBGN"_s << true << false << -1;
    QTest::newRow("tab") << u"\t5KBGN"_s << true << false << -1;
    QTest::newRow("two blanks") << u"  KBGN"_s << true << false << -1;
    QTest::newRow("tag one place late") << u"235KBGN"_s << false << false << 23;
    QTest::newRow("lower-case tag") << u"23kbgn"_s << false << false << 23;
    QTest::newRow("line too short") << u"2"_s << false << false << -1;
}

void TestResultLayout::readsVenueCodes()
{
    QFETCH(QString, line);
    QFETCH(bool, begins);
    QFETCH(bool, ends);
    QFETCH(int, code);

    QCOMPARE(layout::isSectionBegin(line), begins);
    QCOMPARE(layout::isSectionEnd(line), ends);
    QCOMPARE(layout::venueCode(line), code);
}

void TestResultLayout::readsRaceLabels_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("race");

    QTest::newRow("race 1")
        << u"   1R       一　　般　　                 H1800m  晴　  風  南　　 4m  波　  4cm"_s
        << 1;
    QTest::newRow("race 12")
        << u"  12R       優　勝　戦                   H1800m  晴　  風  南　　 4m  波　  4cm"_s
        << 12;
    QTest::newRow("payout summary, no distance")
        << u"           1R  1-3-4     1230    5-1    450"_s << 0;
    QTest::newRow("race 13") << u"  13R       一　般                       H1800m"_s << 0;
    QTest::newRow("race 0") << u"   0R       一　般                       H1800m"_s << 0;
    QTest::newRow("H without digits") << u"   3R       一　般                       Hm"_s << 0;
    QTest::newRow("no R") << u"   3        一　般                       H1800m"_s << 0;
}

void TestResultLayout::readsRaceLabels()
{
    QFETCH(QString, line);
    QFETCH(int, race);

    QCOMPARE(layout::raceNumberOfLabel(line), race);
    if (race > 0)
        QVERIFY(line.startsWith(layout::raceLabel(race)));
}

QTEST_GUILESS_MAIN(TestResultLayout)
#include "tst_resultlayout.moc"
