#include "favouriteday.h"

#include "favourites/favouritesearch.h"
#include "favourites/settings.h"
#include "store/linestore.h"
#include "store/nametables.h"

#include <QTest>

using namespace rusena;
using namespace favouriteday;

class TestFavouriteSearch final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void raceLabel_data();
    void raceLabel();
    void walk_data();
    void walk();
    void progressPositions_data();
    void progressPositions();
};

void TestFavouriteSearch::raceLabel_data()
{
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("label");
    QTest::newRow("one digit") << 3 << QStringLiteral(" 3 R");
    QTest::newRow("two digits") << 12 << QStringLiteral(" 12 R");
}

void TestFavouriteSearch::raceLabel()
{
    QFETCH(int, race);
    QFETCH(QString, label);
    QCOMPARE(favouriteRaceLabel(race), label);
}

void TestFavouriteSearch::walk_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("venue");
    QTest::addColumn<QString>("race1");
    QTest::addColumn<QString>("race2");

    const QString toda = QStringLiteral("戸田");
    const QString suminoe = QStringLiteral("住之江");
    const QString none;

    QTest::newRow("races 3 and 11")
        << section(QStringLiteral("02"), { 3, 11 }) + QStringList { finalLine() } << 7 << true
        << toda << QStringLiteral(" 3 R") << QStringLiteral(" 11 R");
    QTest::newRow("three races keep the last")
        << section(QStringLiteral("02"), { 2, 5, 9 }) << 7 << true << toda << QStringLiteral(" 2 R")
        << QStringLiteral(" 9 R");
    QTest::newRow("one race") << section(QStringLiteral("02"), { 7 }) << 7 << true << toda
                              << QStringLiteral(" 7 R") << none;
    QTest::newRow("two venues: the first gives the venue")
        << section(QStringLiteral("02"), { 4 }) + section(QStringLiteral("12"), { 6 }) << 7 << true
        << toda << QStringLiteral(" 4 R") << QStringLiteral(" 6 R");
    QTest::newRow("second venue only")
        << section(QStringLiteral("02")) + section(QStringLiteral("12"), { 10 }) << 7 << true
        << suminoe << QStringLiteral(" 10 R") << none;
    QTest::newRow("sections after FINALK are searched too")
        << section(QStringLiteral("02")) + QStringList { finalLine() }
            + section(QStringLiteral("12"), { 1 })
        << 7 << true << suminoe << QStringLiteral(" 1 R") << none;
    QTest::newRow("7000 is not 0007")
        << section(QStringLiteral("02"), { 5 }, QStringLiteral("7000")) << 7 << false << none
        << none << none;
    QTest::newRow("four digits with leading zeros")
        << section(QStringLiteral("02"), { 5 }, QStringLiteral("0123")) << 123 << true << toda
        << QStringLiteral(" 5 R") << none;
    QTest::newRow("only the first run of four is compared")
        << section(QStringLiteral("02"), { 5 }, QStringLiteral("4012 0007")) << 7 << false << none
        << none << none;
    QTest::newRow("first placing row")
        << QStringList { QStringLiteral("05KBGN") }
            + raceBlock(8, withPlayer(8, QStringLiteral("0007"), 1))
        << 7 << true << QStringLiteral("多摩川") << QStringLiteral(" 8 R") << none;
    QTest::newRow("sixth placing row")
        << QStringList { QStringLiteral("05KBGN") }
            + raceBlock(8, withPlayer(8, QStringLiteral("0007"), 6))
        << 7 << true << QStringLiteral("多摩川") << QStringLiteral(" 8 R") << none;

    // Race 2's label stands nine lines below race 1's and is never looked at.
    const QStringList race1Short = raceBlock(1, ordinaryPlayers(1)).mid(0, 9);
    const QStringList race2 = raceBlock(2, withPlayer(2, QStringLiteral("0007")));
    QTest::newRow("label nine lines below a label is skipped")
        << QStringList { QStringLiteral("02KBGN") } + race1Short + race2 << 7 << false << none
        << none << none;
    QTest::newRow("label ten lines below a label is read")
        << QStringList { QStringLiteral("02KBGN") } + race1Short + QStringList { QString() } + race2
        << 7 << true << toda << QStringLiteral(" 2 R") << none;
    // A section header inside the skipped lines is missed, so the old venue stays current.
    QTest::newRow("section header inside the skip is missed")
        << QStringList { QStringLiteral("02KBGN") } + race1Short
            + QStringList { QStringLiteral("12KBGN") } + race2
        << 7 << true << toda << QStringLiteral(" 2 R") << none;

    QTest::newRow("match before any section has no venue")
        << raceBlock(4, withPlayer(4, QStringLiteral("0007"))) << 7 << true << none
        << QStringLiteral(" 4 R") << none;
    QTest::newRow("venue code outside 1..24 has no venue")
        << QStringList { QStringLiteral("31KBGN") }
            + raceBlock(4, withPlayer(4, QStringLiteral("0007")))
        << 7 << true << none << QStringLiteral(" 4 R") << none;
    QTest::newRow("blank-padded venue code")
        << QStringList { QStringLiteral(" 3KBGN") }
            + raceBlock(4, withPlayer(4, QStringLiteral("0007")))
        << 7 << true << QStringLiteral("江戸川") << QStringLiteral(" 4 R") << none;
    // The code is two characters: digits and half-width blanks, no sign.
    QTest::newRow("signed venue code has no venue")
        << QStringList { QStringLiteral("+5KBGN") }
            + raceBlock(4, withPlayer(4, QStringLiteral("0007")))
        << 7 << true << none << QStringLiteral(" 4 R") << none;
    QTest::newRow("race window cut short by the end of the file")
        << QStringList { QStringLiteral("02KBGN") }
            + raceBlock(6, withPlayer(6, QStringLiteral("0007"), 3)).mid(0, 6)
        << 7 << true << toda << QStringLiteral(" 6 R") << none;
    QTest::newRow("empty store") << QStringList {} << 7 << false << none << none << none;
}

void TestFavouriteSearch::walk()
{
    QFETCH(QStringList, lines);
    QFETCH(int, number);
    QFETCH(bool, found);
    QFETCH(QString, venue);
    QFETCH(QString, race1);
    QFETCH(QString, race2);

    LineStore store;
    store.loadBytes(crlf(lines));
    NameTables tables;
    fillNameTables(tables);

    FavouriteResult result;
    QCOMPARE(walkForFavourite(store, tables, number, result), found);
    QCOMPARE(result.venue, venue);
    QCOMPARE(result.race1, race1);
    QCOMPARE(result.race2, race2);
}

void TestFavouriteSearch::progressPositions_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("positions");

    // Header, race 1 at line 2 (eleven lines), end line: after the race the walk
    // reports 11 and goes on at line 12.
    QTest::newRow("one race") << QStringList { QStringLiteral("02KBGN") }
            + raceBlock(1, ordinaryPlayers(1)) + QStringList { QStringLiteral("02KEND") }
                              << QList<int> { 1, 11, 12, 13 };
    // A label near the end reports a position past the line count; the caller caps it.
    QTest::newRow("label near the end")
        << QStringList { QStringLiteral("02KBGN") } + raceBlock(1, ordinaryPlayers(1)).mid(0, 4)
        << QList<int> { 1, 11 };
}

void TestFavouriteSearch::progressPositions()
{
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, positions);

    LineStore store;
    store.loadBytes(crlf(lines));
    NameTables tables;
    fillNameTables(tables);

    QList<int> seen;
    FavouriteResult result;
    walkForFavourite(store, tables, 7, result, [&](int position) { seen << position; });
    QCOMPARE(seen, positions);
}

QTEST_GUILESS_MAIN(TestFavouriteSearch)
#include "tst_favouritesearch.moc"
