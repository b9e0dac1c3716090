#include "favourites/registration.h"
#include "favourites/settings.h"
#include "fifo.h"
#include "filebytes.h"
#include "race/screenmodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena;

namespace {

} // namespace

class TestSettings final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fourDigits_data();
    void fourDigits();
    void load_data();
    void load();
    void writeRecord_data();
    void writeRecord();
    void writeCreatesVanishedFolder();
    void writeFailure_data();
    void writeFailure();
    void showFavouriteRow();
    void acceptsChar_data();
    void acceptsChar();
    void filteredText_data();
    void filteredText();
};

void TestSettings::fourDigits_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("one digit") << 7 << QStringLiteral("0007");
    QTest::newRow("three digits") << 123 << QStringLiteral("0123");
    QTest::newRow("four digits") << 9999 << QStringLiteral("9999");
    QTest::newRow("zero") << 0 << QStringLiteral("0000");
}

void TestSettings::fourDigits()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(rusena::fourDigits(number), text);
}

void TestSettings::load_data()
{
    QTest::addColumn<QString>("entry"); // what stands at player.dat
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("number"); // -1 with mode -1: unreadable
    QTest::addColumn<int>("mode");

    const QString file = QStringLiteral("file");
    QTest::newRow("missing file") << QStringLiteral("none") << QByteArray() << 0 << 1;
    QTest::newRow("123, payouts only") << file << QByteArray::fromHex("7b000200") << 123 << 2;
    QTest::newRow("high byte used") << file << QByteArray::fromHex("0f270100") << 9999 << 1;
    QTest::newRow("negative taken as it stands")
        << file << QByteArray::fromHex("ffff0000") << -1 << 0;
    QTest::newRow("empty file") << file << QByteArray() << 0 << 0;
    QTest::newRow("one byte") << file << QByteArray::fromHex("7b") << 123 << 0;
    QTest::newRow("three bytes") << file << QByteArray::fromHex("7b0002") << 123 << 2;
    QTest::newRow("bytes after the record ignored")
        << file << QByteArray::fromHex("07000100ffff") << 7 << 1;
    QTest::newRow("link to a record")
        << QStringLiteral("link") << QByteArray::fromHex("07000200") << 7 << 2;
    // Opening a FIFO for reading would wait for a writer that never comes.
    QTest::newRow("FIFO: unreadable") << QStringLiteral("fifo") << QByteArray() << -1 << -1;
    QTest::newRow("folder: unreadable") << QStringLiteral("folder") << QByteArray() << -1 << -1;
    QTest::newRow("read error: unreadable") << QStringLiteral("mem") << QByteArray() << -1 << -1;
}

void TestSettings::load()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, bytes);
    QFETCH(int, number);
    QFETCH(int, mode);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("player.dat"));
    const QString record = dir.filePath(QStringLiteral("record"));
    if (entry == u"file")
        QVERIFY(writeBytes(path, bytes));
    else if (entry == u"link")
        QVERIFY(writeBytes(record, bytes) && QFile::link(record, path));
    else if (entry == u"fifo")
        MAKE_FIFO(path);
    else if (entry == u"folder")
        QVERIFY(QDir().mkdir(path));
    else if (entry == u"mem") { // opens fine, then every read fails with EIO
        if (!QFile::exists(QStringLiteral("/proc/self/mem")))
            QSKIP("needs /proc/self/mem");
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
    }

    const std::optional<Settings> settings = loadSettings(path);
    QCOMPARE(settings.has_value(), number != -1 || mode != -1);
    if (settings) {
        QCOMPARE(int(settings->favouriteNumber), number);
        QCOMPARE(int(settings->resultTextMode), mode);
    }
}

void TestSettings::writeRecord_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << 123 << 2 << QByteArray::fromHex("7b000200");
    QTest::newRow("no favourite") << QByteArray() << 0 << 1 << QByteArray::fromHex("00000100");
    QTest::newRow("largest number") << QByteArray() << 9999 << 1 << QByteArray::fromHex("0f270100");
    QTest::newRow("longer old file becomes four bytes")
        << QByteArray::fromHex("0100010099999999") << 7 << 2 << QByteArray::fromHex("07000200");
}

void TestSettings::writeRecord()
{
    QFETCH(QByteArray, before);
    QFETCH(int, number);
    QFETCH(int, mode);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("player.dat"));
    if (!before.isEmpty())
        QVERIFY(writeBytes(path, before));

    const Settings settings { static_cast<std::int16_t>(number), static_cast<std::int16_t>(mode) };
    QVERIFY(writeSettings(path, settings).ok());
    QCOMPARE(readBytes(path), after);

    const std::optional<Settings> back = loadSettings(path);
    QVERIFY(back.has_value());
    QCOMPARE(back->favouriteNumber, settings.favouriteNumber);
    QCOMPARE(back->resultTextMode, settings.resultTextMode);
}

void TestSettings::writeCreatesVanishedFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("top/data/player.dat"));
    QVERIFY(writeSettings(path, { 5, 1 }).ok());
    QCOMPARE(readBytes(path), QByteArray::fromHex("05000100"));
}

void TestSettings::writeFailure_data()
{
    QTest::addColumn<QString>("blocker"); // what stands in the way

    QTest::newRow("player.dat is a folder") << QStringLiteral("player.dat/");
    QTest::newRow("data folder is a plain file") << QStringLiteral("data");
    // Saving must neither write through a link nor replace what stands there.
    QTest::newRow("player.dat is a link") << QStringLiteral("link");
    QTest::newRow("player.dat is a FIFO") << QStringLiteral("fifo");
}

void TestSettings::writeFailure()
{
    QFETCH(QString, blocker);

    // Root ignores permission bits, so the failures are made with things in the way.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/player.dat"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    if (blocker.endsWith(QLatin1Char('/'))) {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/") + blocker));
    } else if (blocker == u"data") {
        QVERIFY(writeBytes(dir.filePath(blocker), "not a folder"));
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data")));
        if (blocker == u"link")
            QVERIFY(writeBytes(elsewhere, "other") && QFile::link(elsewhere, path));
        else
            MAKE_FIFO(path);
    }

    const Outcome outcome = writeSettings(path, { 123, 2 });
    QCOMPARE(outcome.code, Code::WriteFailed);
    QVERIFY(outcome.message.has_value());
    QCOMPARE(outcome.message->icon, MessageIcon::Warning);
    QCOMPARE(outcome.message->caption, QStringLiteral("記録失敗"));
    QCOMPARE(outcome.message->text, QStringLiteral("設定を記録できませんでした。"));
    // The blocker stands as it was, and nothing was left behind beside it.
    const QDir data(dir.filePath(QStringLiteral("data")));
    if (data.exists()) {
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QCOMPARE(data.entryList(all), QStringList { QStringLiteral("player.dat") });
    }
    const QFileInfo info(path);
    QCOMPARE(info.isSymLink(), blocker == u"link");
    if (blocker == u"link")
        QCOMPARE(readBytes(elsewhere), QByteArray("other"));
    QCOMPARE(isFifo(path), blocker == u"fifo");
}

void TestSettings::showFavouriteRow()
{
    ScreenModel screen;
    screen.okiniiri
        = { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") };
    const FavouriteResult result { QStringLiteral("戸田"), QStringLiteral(" 3 R"), QString() };

    showFavourite({ 0, 1 }, result, screen);
    QCOMPARE(screen.okiniiri[0], QStringLiteral("a"));
    QCOMPARE(screen.okiniiri[3], QStringLiteral("d"));

    showFavourite({ 7, 1 }, {}, screen);
    QCOMPARE(screen.okiniiri[0], QStringLiteral("0007"));
    QCOMPARE(screen.okiniiri[1], QString());
    QCOMPARE(screen.okiniiri[2], QString());
    QCOMPARE(screen.okiniiri[3], QString());

    showFavourite({ 7, 1 }, result, screen);
    QCOMPARE(screen.okiniiri[1], QStringLiteral("戸田"));
    QCOMPARE(screen.okiniiri[2], QStringLiteral(" 3 R"));
}

void TestSettings::acceptsChar_data()
{
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << QChar(u'0') << true;
    QTest::newRow("9") << QChar(u'9') << true;
    QTest::newRow("letter") << QChar(u'a') << false;
    QTest::newRow("slash, below 0") << QChar(u'/') << false;
    QTest::newRow("colon, above 9") << QChar(u':') << false;
    QTest::newRow("backspace") << QChar(u'\b') << false;
    QTest::newRow("full-width digit") << QChar(u'１') << false;
    QTest::newRow("minus") << QChar(u'-') << false;
}

void TestSettings::acceptsChar()
{
    QFETCH(QChar, ch);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsRegistrationChar(ch), accepted);
}

void TestSettings::filteredText_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");

    QTest::newRow("digit typed") << QStringLiteral("12") << 2 << QStringLiteral("3")
                                 << QStringLiteral("123");
    QTest::newRow("letter typed") << QStringLiteral("12") << 2 << QStringLiteral("a")
                                  << QStringLiteral("12");
    QTest::newRow("fifth digit refused")
        << QStringLiteral("1234") << 4 << QStringLiteral("5") << QStringLiteral("1234");
    QTest::newRow("typed in the middle")
        << QStringLiteral("13") << 1 << QStringLiteral("2") << QStringLiteral("123");
    QTest::newRow("paste with a letter refused whole")
        << QStringLiteral("5") << 1 << QStringLiteral("98x7") << QStringLiteral("5");
    QTest::newRow("paste with a trailing newline refused whole")
        << QString() << 0 << QStringLiteral("4122\n") << QString();
    QTest::newRow("paste cut to the room left")
        << QStringLiteral("9") << 1 << QStringLiteral("12345") << QStringLiteral("9123");
    QTest::newRow("paste of full-width digits")
        << QString() << 0 << QStringLiteral("１２３") << QString();
    QTest::newRow("cursor past the end")
        << QStringLiteral("1") << 9 << QStringLiteral("2") << QStringLiteral("12");
}

void TestSettings::filteredText()
{
    QFETCH(QString, current);
    QFETCH(int, cursor);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QCOMPARE(filteredRegistrationText(current, cursor, typed), result);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
