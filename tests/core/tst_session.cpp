#include "favouriteday.h"

#include "fifo.h"
#include "filebytes.h"
#include "session/importsummary.h"
#include "session/session.h"
#include "store/cp932.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena;
using namespace favouriteday;

namespace {

const QByteArray NoFile = QByteArrayLiteral("<none>");

// Lays out the data folder with these files (NoFile: absent).
void prepare(const DataFolder &folder, const QByteArray &racek, const QByteArray &player)
{
    QVERIFY(folder.ensureData());
    if (racek != NoFile)
        QVERIFY(writeBytes(folder.racekPath(), racek));
    if (player != NoFile)
        QVERIFY(writeBytes(folder.playerPath(), player));
}

// How a message is expected: warnings of the start-up by icon, the rest by text.
QStringList described(const QList<Message> &messages)
{
    QStringList out;
    for (const Message &m : messages)
        out << (m.icon == MessageIcon::Warning ? QStringLiteral("warning") : m.text);
    return out;
}

QStringList favouriteRow(const Session &session)
{
    const auto &row = session.screen().okiniiri;
    return { row[0], row[1], row[2], row[3] };
}

const QString AskForFile = QStringLiteral("始めにレース結果ファイルを読み込んで下さい。");
const QByteArray Favourite7 = QByteArray::fromHex("07000100");

// The day on show before an import: one venue, 多摩川, the favourite 0007 in race 1.
QByteArray oldDay()
{
    return crlf(section(QStringLiteral("05"), { 1 }) + QStringList { finalLine() });
}

QByteArray twoVenues()
{
    return crlf(section(QStringLiteral("02"), { 3, 11 }) + section(QStringLiteral("12"))
        + QStringList { finalLine() });
}

} // namespace

class TestSession final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUp_data();
    void startUp();
    void import_data();
    void import();
    void importClearsSearchButKeepsSettings();
    void neighbourDay_data();
    void neighbourDay();
    void saveWritesRecord();
    void saveEmptyBox();
    void saveRecreatesDataFolder();
    void saveFailure_data();
    void saveFailure();
    void searchPreconditions_data();
    void searchPreconditions();
    void searchFinds();
    void searchNotFound_data();
    void searchNotFound();
};

void TestSession::startUp_data()
{
    QTest::addColumn<QString>("layout"); // "none", "top", "data", "top is a file"
    QTest::addColumn<QByteArray>("racek");
    QTest::addColumn<QByteArray>("player");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("venues");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("mode");

    const QStringList none;
    const QStringList venues { QStringLiteral("戸田"), QStringLiteral("住之江") };
    const QByteArray stored = QByteArray::fromHex("7b000200");

    QTest::newRow("first run, no folders") << QStringLiteral("none") << NoFile << NoFile
                                           << QStringList { AskForFile } << none << 0 << 0;
    QTest::newRow("top folder only") << QStringLiteral("top") << NoFile << NoFile
                                     << QStringList { AskForFile } << none << 0 << 0;
    QTest::newRow("racek.dat without player.dat")
        << QStringLiteral("data") << twoVenues() << NoFile << none << venues << 0 << 1;
    QTest::newRow("racek.dat and player.dat")
        << QStringLiteral("data") << twoVenues() << stored << none << venues << 123 << 2;
    QTest::newRow("player.dat of one byte")
        << QStringLiteral("data") << twoVenues() << QByteArray::fromHex("7b") << none << venues
        << 123 << 0;
    QTest::newRow("only player.dat: settings not read")
        << QStringLiteral("data") << NoFile << stored << QStringList { AskForFile } << none << 0
        << 0;
    QTest::newRow("top folder is a plain file")
        << QStringLiteral("top is a file") << NoFile << NoFile
        << QStringList { QStringLiteral("warning") } << none << 0 << 0;
    QTest::newRow("racek.dat cannot be read")
        << QStringLiteral("racek is a folder") << NoFile << NoFile
        << QStringList { QStringLiteral("warning") } << none << 0 << 1;
    // Without it every byte would read as U+FFFD: an empty venue list and no word why.
    QTest::newRow("code page 932 converter cannot be opened")
        << QStringLiteral("no converter") << twoVenues() << stored
        << QStringList { QStringLiteral("warning") } << none << 123 << 2;
    // The day is shown, without a favourite, and the user is told once.
    QTest::newRow("player.dat is a folder")
        << QStringLiteral("player is a folder") << twoVenues() << NoFile
        << QStringList { QStringLiteral("warning") } << venues << 0 << 1;
    QTest::newRow("player.dat is a FIFO")
        << QStringLiteral("player is a FIFO") << twoVenues() << NoFile
        << QStringList { QStringLiteral("warning") } << venues << 0 << 1;
}

void TestSession::startUp()
{
    QFETCH(QString, layout);
    QFETCH(QByteArray, racek);
    QFETCH(QByteArray, player);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, venues);
    QFETCH(int, number);
    QFETCH(int, mode);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    if (layout == u"top")
        QVERIFY(folder.ensureTop());
    else if (layout == u"data")
        prepare(folder, racek, player);
    else if (layout == u"top is a file")
        QVERIFY(writeBytes(folder.top, "not a folder"));
    else if (layout == u"racek is a folder")
        QVERIFY(QDir().mkpath(folder.racekPath()));
    else if (layout == u"no converter")
        prepare(folder, racek, player);
    if (layout.startsWith(u"player is a")) {
        prepare(folder, racek, NoFile);
        if (layout.endsWith(u"folder"))
            QVERIFY(QDir().mkdir(folder.playerPath()));
        else
            MAKE_FIFO(folder.playerPath());
    }
    failCp932DecoderForTesting(layout == u"no converter");
    const auto restore = qScopeGuard([] { failCp932DecoderForTesting(false); });

    Session session(folder);
    QCOMPARE(described(session.startUp()), messages);

    QCOMPARE(QFileInfo(folder.data).isDir(), layout != u"top is a file");
    const ScreenModel &screen = session.screen();
    QCOMPARE(screen.cmbItems, venues);
    QCOMPARE(screen.cmbIndex, -1);
    // Undecodable lines are still lines: the store keeps them, no venue is found in them.
    QCOMPARE(session.store().count() > 0, !venues.isEmpty() || layout == u"no converter");
    QCOMPARE(int(session.settings().favouriteNumber), number);
    QCOMPARE(int(session.settings().resultTextMode), mode);
    // The auxiliary controls start the same way in every case.
    QVERIFY(!screen.progressBar1.visible);
    QCOMPARE(screen.playerTxb, QString());
    QCOMPARE(screen.playerOption, 0);
    for (int boat = 1; boat <= 6; ++boat)
        QVERIFY(!screen.wak[static_cast<size_t>(boat)].visible);
}

void TestSession::import_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // NoFile: the file vanished before the copy
    QTest::addColumn<bool>("imported");
    QTest::addColumn<QStringList>("venues");
    QTest::addColumn<QDate>("onShow"); // the date the day on show is filed under

    const QStringList old { QStringLiteral("多摩川") };
    const QStringList two { QStringLiteral("戸田"), QStringLiteral("住之江") };
    QByteArray tooLong = twoVenues();
    while (tooLong.count('\r') <= 8500)
        tooLong += "\r\n";

    const QDate day(2003, 8, 14);
    QTest::newRow("good file") << QStringLiteral("K030814.TXT") << twoVenues() << true << two
                               << day;
    QTest::newRow("lower-case k") << QStringLiteral("k030814.txt") << twoVenues() << true << two
                                  << day;
    QTest::newRow("no KBGN line") << QStringLiteral("K030815.TXT") << QByteArray("FINALK\r\n")
                                  << true << QStringList() << QDate();
    QTest::newRow("B030814.TXT") << QStringLiteral("B030814.TXT") << twoVenues() << false << old
                                 << day;
    QTest::newRow("source vanished")
        << QStringLiteral("K030814.TXT") << NoFile << false << old << day;
    QTest::newRow("more than 8500 lines")
        << QStringLiteral("K030814.TXT") << tooLong << false << old << day;
    // The library files a day under the date of its name; the viewer steps from there.
    QTest::newRow("named for the 15th, headed the 14th")
        << QStringLiteral("K030815.TXT") << twoVenues() << true << two << QDate(2003, 8, 15);
}

void TestSession::import()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, imported);
    QFETCH(QStringList, venues);
    QFETCH(QDate, onShow);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), NoFile);
    Session session(folder);
    QVERIFY(session.startUp().isEmpty());
    session.selectVenue(0);

    const QString source = dir.filePath(name);
    if (bytes != NoFile)
        QVERIFY(writeBytes(source, bytes));

    const Outcome outcome = session.importResultFile(source, name);
    QCOMPARE(outcome.ok(), imported);
    QVERIFY(outcome.message.has_value());
    if (imported) {
        QCOMPARE(outcome.message->caption, QStringLiteral("ファイルコピー終了"));
        QCOMPARE(outcome.message->text, QStringLiteral("レース結果ファイルコピー終了"));
        QCOMPARE(readBytes(folder.racekPath(), NoFile), bytes);
        QCOMPARE(session.screen().cmbIndex, -1);
    } else {
        QCOMPARE(outcome.message->caption, QStringLiteral("読み込みエラー"));
        QCOMPARE(outcome.message->text, QStringLiteral("ファイル読み込みエラー"));
        QCOMPARE(outcome.message->icon, MessageIcon::Warning);
        QCOMPARE(readBytes(folder.racekPath(), NoFile), oldDay());
        QCOMPARE(session.screen().cmbIndex, 0); // the old day stays as the user left it
    }
    QCOMPARE(session.screen().cmbItems, venues);
    QCOMPARE(session.dayOnShow(), onShow);
    QCOMPARE(session.filingWarning(), std::optional<Message>());
}

void TestSession::importClearsSearchButKeepsSettings()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), Favourite7);
    Session session(folder);
    session.startUp();
    QVERIFY(session.searchFavourite().ok());
    QCOMPARE(favouriteRow(session)[1], QStringLiteral("多摩川"));

    // player.dat changes behind the program's back; an import does not read it.
    QVERIFY(writeBytes(folder.playerPath(), QByteArray::fromHex("09000200")));
    const QString source = dir.filePath(QStringLiteral("K030814.TXT"));
    QVERIFY(writeBytes(source, twoVenues()));
    QVERIFY(session.importResultFile(source, QStringLiteral("K030814.TXT")).ok());

    QCOMPARE(favouriteRow(session), QStringList(4, QString()));
    QCOMPARE(session.favourite().venue, QString());
    QCOMPARE(int(session.settings().favouriteNumber), 7);
    QCOMPARE(int(session.settings().resultTextMode), 1);
}

void TestSession::saveWritesRecord()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), Favourite7);
    Session session(folder);
    session.startUp();
    QVERIFY(session.searchFavourite().ok());

    session.setRegistrationText(QStringLiteral("0123"));
    session.setRegistrationOption(1);
    bool asked = false;
    const RegistrationSave outcome = session.saveRegistration([&](const Message &) {
        asked = true;
        return false;
    });
    QVERIFY(!asked);
    QVERIFY(outcome.closesDialog);
    const Message saved { QStringLiteral("記録成功"), QStringLiteral("設定を記録しました。"),
        MessageIcon::Information, MessageButtons::Ok };
    QCOMPARE(outcome.message, std::optional<Message>(saved));

    QCOMPARE(readBytes(folder.playerPath(), NoFile), QByteArray::fromHex("7b000200"));
    QCOMPARE(int(session.settings().favouriteNumber), 123);
    QCOMPARE(int(session.settings().resultTextMode), 2);
    QCOMPARE(favouriteRow(session), QStringList(4, QString()));
    QCOMPARE(session.favourite().race1, QString());
}

void TestSession::saveEmptyBox()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), NoFile);
    Session session(folder);
    session.startUp();

    const Message question { QStringLiteral("登録事項詳細"),
        QStringLiteral("お気に入り選手は登録されませんが宜しいですか？"), MessageIcon::None,
        MessageButtons::OkCancel };
    QList<Message> asked;
    const auto answer = [&](bool ok) {
        return [&asked, ok](const Message &m) {
            asked.append(m);
            return ok;
        };
    };

    // Cancel: nothing is written and the dialog stays.
    const RegistrationSave declined = session.saveRegistration(answer(false));
    QCOMPARE(asked, QList<Message> { question });
    QVERIFY(!declined.closesDialog);
    QVERIFY(!declined.message.has_value());
    QCOMPARE(readBytes(folder.playerPath(), NoFile), NoFile);

    // OK: the box reads "0" and no favourite is registered.
    QVERIFY(session.saveRegistration(answer(true)).closesDialog);
    QCOMPARE(asked.size(), 2);
    QCOMPARE(session.screen().playerTxb, QStringLiteral("0"));
    QCOMPARE(readBytes(folder.playerPath(), NoFile), QByteArray::fromHex("00000100"));
    QCOMPARE(session.searchFavourite().code, Code::NoFavourite);
}

void TestSession::saveRecreatesDataFolder()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), NoFile);
    Session session(folder);
    session.startUp();
    QVERIFY(QDir(folder.top).removeRecursively());

    session.setRegistrationText(QStringLiteral("7"));
    QVERIFY(session.saveSettings().ok());
    QCOMPARE(readBytes(folder.playerPath(), NoFile), Favourite7);
}

void TestSession::saveFailure_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("player.dat is a folder") << QStringLiteral("player folder");
    QTest::newRow("data folder is a plain file") << QStringLiteral("data file");
}

void TestSession::saveFailure()
{
    QFETCH(QString, blocker);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, oldDay(), QByteArray::fromHex("07000200"));
    Session session(folder);
    session.startUp();
    QVERIFY(session.searchFavourite().ok());
    const QStringList row = favouriteRow(session);

    // Root ignores permission bits, so the write is stopped by something in the way.
    if (blocker == u"player folder") {
        QVERIFY(QFile::remove(folder.playerPath()));
        QVERIFY(QDir().mkdir(folder.playerPath()));
    } else {
        QVERIFY(QDir(folder.data).removeRecursively());
        QVERIFY(writeBytes(folder.data, "not a folder"));
    }

    session.setRegistrationText(QStringLiteral("0456"));
    const RegistrationSave outcome = session.saveRegistration([](const Message &) { return true; });
    QVERIFY(!outcome.closesDialog); // the user can correct the box or cancel
    QVERIFY(outcome.message.has_value());
    QCOMPARE(outcome.message->icon, MessageIcon::Warning);
    QVERIFY(outcome.message->caption != QStringLiteral("記録成功"));

    QCOMPARE(int(session.settings().favouriteNumber), 7);
    QCOMPARE(int(session.settings().resultTextMode), 2);
    QCOMPARE(favouriteRow(session), row);
    QCOMPARE(session.screen().playerTxb, QStringLiteral("0456"));
}

void TestSession::searchPreconditions_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("player.dat missing")
        << QStringLiteral("remove player") << Code::NoPlayerFile << QStringLiteral("検索ファイル")
        << QStringLiteral("ファイルが存在しません。始めに作成して下さい。");
    QTest::newRow("racek.dat missing")
        << QStringLiteral("remove racek") << Code::NoStoredDay
        << QStringLiteral("レース結果ファイル読み込み") << AskForFile;
    QTest::newRow("no favourite") << QStringLiteral("zero") << Code::NoFavourite
                                  << QStringLiteral("検索不可能")
                                  << QStringLiteral("お気に入り選手が登録されていません。");
    QTest::newRow("settings not read when the day came later")
        << QStringLiteral("import later") << Code::NoFavourite << QStringLiteral("検索不可能")
        << QStringLiteral("お気に入り選手が登録されていません。");
}

void TestSession::searchPreconditions()
{
    QFETCH(QString, situation);
    QFETCH(Code, code);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    const bool later = situation == u"import later";
    prepare(folder, later ? NoFile : oldDay(),
        situation == u"zero" ? QByteArray::fromHex("00000100") : Favourite7);
    Session session(folder);
    session.startUp();
    if (later) {
        const QString source = dir.filePath(QStringLiteral("K030814.TXT"));
        QVERIFY(writeBytes(source, oldDay()));
        QVERIFY(session.importResultFile(source, QStringLiteral("K030814.TXT")).ok());
    }
    if (situation == u"remove player")
        QVERIFY(QFile::remove(folder.playerPath()));
    if (situation == u"remove racek")
        QVERIFY(QFile::remove(folder.racekPath()));
    const QStringList row = favouriteRow(session);

    bool walked = false;
    const Outcome outcome = session.searchFavourite([&](int) { walked = true; });
    QCOMPARE(outcome.code, code);
    QCOMPARE(outcome.message->caption, caption);
    QCOMPARE(outcome.message->text, text);
    QVERIFY(!walked);
    QVERIFY(!session.screen().progressBar1.visible);
    QCOMPARE(favouriteRow(session), row);
}

void TestSession::searchFinds()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, twoVenues(), Favourite7);
    Session session(folder);
    session.startUp();

    int calls = 0;
    bool alwaysShown = true;
    int last = 0;
    const Outcome outcome = session.searchFavourite([&](int position) {
        ++calls;
        alwaysShown = alwaysShown && session.screen().progressBar1.visible;
        QVERIFY(position >= last && position <= session.screen().progressBar1.maximum);
        last = position;
    });
    QVERIFY(outcome.ok());
    QVERIFY(!outcome.message.has_value());
    QVERIFY(calls > 0);
    QVERIFY(alwaysShown);
    QCOMPARE(last, session.store().count());
    QVERIFY(!session.screen().progressBar1.visible);
    QCOMPARE(favouriteRow(session),
        (QStringList { QStringLiteral("0007"), QStringLiteral("戸田"), QStringLiteral(" 3 R"),
            QStringLiteral(" 11 R") }));
}

void TestSession::searchNotFound_data()
{
    QTest::addColumn<QByteArray>("day");
    QTest::addColumn<int>("maximum");
    QTest::newRow("favourite not racing")
        << crlf(section(QStringLiteral("02"), { 4 }, QStringLiteral("7000"))) << 141;
    QTest::newRow("empty racek.dat") << QByteArray() << 0;
}

void TestSession::searchNotFound()
{
    QFETCH(QByteArray, day);
    QFETCH(int, maximum);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    prepare(folder, day, Favourite7);
    Session session(folder);
    session.startUp();

    const Outcome outcome = session.searchFavourite();
    QCOMPARE(outcome.code, Code::NotFound);
    const Message notFound { QStringLiteral("検索結果"),
        QStringLiteral("お気に入り選手は出走していませんでした。"), MessageIcon::Information,
        MessageButtons::Ok };
    QCOMPARE(outcome.message, std::optional<Message>(notFound));
    QCOMPARE(session.screen().progressBar1.maximum, maximum);
    QVERIFY(!session.screen().progressBar1.visible);
    QCOMPARE(favouriteRow(session),
        (QStringList { QStringLiteral("0007"), QString(), QString(), QString() }));
}

void TestSession::neighbourDay_data()
{
    QTest::addColumn<QStringList>("files"); // stored name, then the test day it holds
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("venue"); // code of the venue on screen, and its race
    QTest::addColumn<int>("race");
    QTest::addColumn<QDate>("to"); // after 前の日
    QTest::addColumn<int>("venueAfter");
    QTest::addColumn<int>("raceAfter");
    QTest::addColumn<QString>("message");

    const QDate aug14(2020, 8, 14), aug15(2020, 8, 15), sep7(2020, 9, 7);
    const QStringList twoDays { QStringLiteral("K200814.TXT"), QStringLiteral("k200814.txt"),
        QStringLiteral("K200815.TXT"), QStringLiteral("k200815.txt") };
    QTest::newRow("venue and race kept")
        << twoDays << aug15 << 23 << 5 << aug14 << 23 << 5 << QString();
    QTest::newRow("venue the day does not hold")
        << twoDays << aug15 << 15 << 3 << aug14 << 0 << 0 << QString();
    // Stored as the 15th, its sections dated the 14th: it is the 15th that is on show.
    QTest::newRow("filed date, not the header's")
        << QStringList { QStringLiteral("K200815.TXT"), QStringLiteral("k200814.txt"),
               QStringLiteral("K200907.TXT"), QStringLiteral("k200907.txt") }
        << sep7 << 0 << 0 << aug15 << 0 << 0 << QString();
    QTest::newRow("empty library says what to do")
        << QStringList() << QDate() << 0 << 0 << QDate() << 0 << 0 << emptyLibraryHint();
}

void TestSession::neighbourDay()
{
    QFETCH(QStringList, files);
    QFETCH(QDate, from);
    QFETCH(int, venue);
    QFETCH(int, race);
    QFETCH(QDate, to);
    QFETCH(int, venueAfter);
    QFETCH(int, raceAfter);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    QVERIFY(folder.ensureData());
    Session session(folder);
    session.startUp();
    QStringList paths;
    for (int i = 0; i + 1 < files.size(); i += 2) {
        paths.append(dir.filePath(files[i]));
        QVERIFY(QFile::copy(QStringLiteral(RUSENA_TEST_DATA "/") + files[i + 1], paths.last()));
    }
    if (!paths.isEmpty()) {
        QVERIFY(session.importBatch(paths).ok());
        QVERIFY(session.showStoredDay(from).ok());
        if (venue > 0)
            QVERIFY(session.showRace(venue, race).ok());
    }
    QCOMPARE(session.dayOnShow(), from);

    const Outcome stepped = session.showNeighbourDay(-1);
    QCOMPARE(stepped.message ? stepped.message->text : QString(), message);
    QCOMPARE(session.dayOnShow(), to);
    QCOMPARE(session.venueOnScreen(), venueAfter);
    QCOMPARE(session.raceOnScreen(), raceAfter);
    if (venueAfter > 0)
        QVERIFY(!session.screen().dds[0].isEmpty()); // the race is on the panel
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
