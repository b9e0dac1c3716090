// Failure injection: the file system refuses or breaks off in the middle of the program's
// few writes and reads. Whatever happens, the stored day and the settings on disk stay as
// they were, the day on show stays on show, and the user is told.
//
// Tests run as root in CI containers, where permission bits stop nothing; the failures
// are made real in ways that hold for root too: the immutable attribute on the folder,
// a file-size limit (the disk filling up mid-write), a folder, a FIFO or a plain file
// standing where another is expected, and a source that reports a read error.

#include "favourites/registration.h"
#include "session/session.h"
#include "store/resultimport.h"

#include "faildevice.h"
#include "fifo.h"
#include "filebytes.h"
#include "filesizelimit.h"
#include "readonlyfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena;

namespace {

const QString OldDayPath = QStringLiteral(RUSENA_TEST_DATA "/k200815.txt");
const QString NewDayPath = QStringLiteral(RUSENA_TEST_DATA "/k200105.txt");
const QString NewDayName = QStringLiteral("k200105.txt");
const QByteArray OldPlayer = QByteArray::fromHex("07000200");
const QByteArray Unreadable = QByteArrayLiteral("<unreadable>");

// A file that opens fine and then fails every read with EIO: nothing is mapped at offset 0
// of a process's own memory. Only Linux has such a file to hand.
#ifdef Q_OS_LINUX
#define SKIP_WITHOUT_UNREADABLE_FILE()
#else
#define SKIP_WITHOUT_UNREADABLE_FILE()                                                             \
    QSKIP("an unreadable file is made with /proc/self/mem, which only Linux has")
#endif
const QString UnreadableFile = QStringLiteral("/proc/self/mem");

// Everything the main window shows, to compare before and after a failed action.
struct Shown final {
    QStringList texts;
    QStringList venues;
    int venueIndex = -1;
    int storedLines = 0;
    QString lastStoredLine;

    explicit Shown(const Session &session)
    {
        const ScreenModel &s = session.screen();
        texts << QList<QString>(s.tit.cbegin(), s.tit.cend())
              << QList<QString>(s.dds.cbegin(), s.dds.cend())
              << QList<QString>(s.okiniiri.cbegin(), s.okiniiri.cend()) << s.txb;
        for (int k = 1; k <= 3; ++k)
            texts << s.tyaku[static_cast<size_t>(k)].caption;
        for (int boat = 1; boat <= 6; ++boat) {
            const Marker &m = s.wak[static_cast<size_t>(boat)];
            texts << QStringLiteral("%1 %2 %3").arg(int(m.visible)).arg(m.left).arg(m.top);
        }
        venues = s.cmbItems;
        venueIndex = s.cmbIndex;
        storedLines = session.store().count();
        lastStoredLine = session.store().line(storedLines);
    }
    friend bool operator==(const Shown &, const Shown &) = default;
};

// A session on the old day with its first readable race on show and a favourite found.
void startOnOldDay(const DataFolder &folder, Session &session)
{
    QVERIFY(folder.ensureData());
    QVERIFY(QFile::copy(OldDayPath, folder.racekPath()));
    QVERIFY(writeBytes(folder.playerPath(), OldPlayer));
    QVERIFY(session.startUp().isEmpty());
    QVERIFY(!session.screen().cmbItems.isEmpty());
    session.selectVenue(0);
    for (int race = 1; race <= 12 && !session.selectRace(race).ok(); ++race) { }
    QVERIFY(!session.screen().txb.isEmpty());
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestFailures final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importFails_data();
    void importFails();
    void saveFails_data();
    void saveFails();
    void startUpFails_data();
    void startUpFails();
};

void TestFailures::importFails_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("blamesFolder"); // else the chosen file
    QTest::newRow("data folder read-only") << QStringLiteral("read-only") << true;
    QTest::newRow("disk full part-way through the copy") << QStringLiteral("disk full") << true;
    // A file smaller than Qt's write buffer reaches the disk only when racek.dat is
    // committed, so the failure shows up at the very end.
    QTest::newRow("disk full, small file") << QStringLiteral("disk full small") << true;
    QTest::newRow("source removed after the dialog") << QStringLiteral("removed") << false;
    QTest::newRow("source is a folder") << QStringLiteral("folder") << false;
    QTest::newRow("source fails on read") << QStringLiteral("read error") << false;
    QTest::newRow("source fails part-way") << QStringLiteral("part-way") << false;
}

void TestFailures::importFails()
{
    QFETCH(QString, failure);
    QFETCH(bool, blamesFolder);
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    Session session(folder);
    startOnOldDay(folder, session);
    const QByteArray oldBytes = readBytes(folder.racekPath(), Unreadable);
    const QStringList oldEntries = entries(folder.data);
    const Shown before(session);

    const QByteArray newBytes = failure == u"disk full small"
        ? readBytes(NewDayPath, Unreadable).left(3000)
        : readBytes(NewDayPath, Unreadable);
    QString source = dir.filePath(NewDayName);
    QVERIFY(writeBytes(source, newBytes));
    Outcome outcome;
    if (failure == u"read-only") {
        const ReadOnlyFolder readOnly(folder.data);
        if (!readOnly.ok())
            QSKIP("this file system cannot make a folder read-only for this user");
        outcome = session.importResultFile(source, NewDayName);
    } else if (failure.startsWith(u"disk full")) {
        SKIP_WITHOUT_SIZE_LIMITS();
        const FileSizeLimit limit(1024);
        QVERIFY(limit.ok());
        outcome = session.importResultFile(source, NewDayName);
    } else if (failure == u"part-way") {
        FailDevice device(newBytes, newBytes.size() / 2);
        QVERIFY(device.open(QIODevice::ReadOnly));
        outcome = session.importResultFile(device, NewDayName);
    } else {
        if (failure == u"removed") {
            QVERIFY(QFile::remove(source));
        } else if (failure == u"folder") {
            QVERIFY(QFile::remove(source));
            QVERIFY(QDir().mkdir(source));
        } else {
            SKIP_WITHOUT_UNREADABLE_FILE();
            source = UnreadableFile;
        }
        outcome = session.importResultFile(source, NewDayName);
    }

    // QSaveFile::commit() in Qt 6.4 renames the temporary file even when flushing its
    // buffer failed, so a file that fits in the buffer would be stored empty.
    QCOMPARE(outcome.code, Code::ImportFailed);
    QCOMPARE(outcome.message,
        std::optional<Message>(blamesFolder ? folderWriteFailedMessage() : importErrorMessage()));
    QCOMPARE(readBytes(folder.racekPath(), Unreadable), oldBytes);
    QCOMPARE(entries(folder.data), oldEntries); // no half-written copy left behind
    QVERIFY(Shown(session) == before);

    // The program carries on: once the obstacle is gone the same import goes through.
    if (failure == u"folder")
        QVERIFY(QDir(source).removeRecursively());
    source = dir.filePath(NewDayName);
    if (!QFile::exists(source))
        QVERIFY(writeBytes(source, newBytes));
    QVERIFY(session.importResultFile(source, NewDayName).ok());
    QCOMPARE(readBytes(folder.racekPath(), Unreadable), newBytes);
}

void TestFailures::saveFails_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("data folder read-only") << QStringLiteral("read-only");
    QTest::newRow("disk full") << QStringLiteral("disk full");
}

void TestFailures::saveFails()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    Session session(folder);
    startOnOldDay(folder, session);
    QVERIFY(session.searchFavourite().code != Code::NoPlayerFile);
    const QStringList oldEntries = entries(folder.data);
    const Shown before(session);

    session.setRegistrationText(QStringLiteral("4320"));
    session.setRegistrationOption(0);
    Outcome outcome;
    if (failure == u"read-only") {
        const ReadOnlyFolder readOnly(folder.data);
        if (!readOnly.ok())
            QSKIP("this file system cannot make a folder read-only for this user");
        outcome = session.saveSettings();
    } else {
        SKIP_WITHOUT_SIZE_LIMITS();
        const FileSizeLimit limit(0);
        QVERIFY(limit.ok());
        outcome = session.saveSettings();
    }

    // The four-byte record only reaches the disk when QSaveFile flushes it.
    QCOMPARE(outcome.code, Code::WriteFailed);
    QCOMPARE(outcome.message, std::optional<Message>(settingsWriteFailedMessage()));
    QCOMPARE(readBytes(folder.playerPath(), Unreadable), OldPlayer);
    QCOMPARE(entries(folder.data), oldEntries);
    QCOMPARE(int(session.settings().favouriteNumber), 7);
    QCOMPARE(int(session.settings().resultTextMode), 2);
    // The resets belong to a successful save: the race stays on show.
    QVERIFY(Shown(session) == before);
    QCOMPARE(session.screen().playerTxb, QStringLiteral("4320"));

    // Pressing OK again once the disk has room stores what the dialog still holds.
    const Outcome retried = session.saveSettings();
    QCOMPARE(retried.message, std::optional<Message>(settingsSavedMessage()));
    QCOMPARE(readBytes(folder.playerPath(), Unreadable), QByteArray::fromHex("e0100100"));
}

void TestFailures::startUpFails_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("data folder is a plain file") << QStringLiteral("data file");
    QTest::newRow("racek.dat fails on read") << QStringLiteral("read error");
    QTest::newRow("racek.dat is a folder") << QStringLiteral("racek folder");
    // Opening a FIFO for reading would wait for a writer before any window appears.
    QTest::newRow("racek.dat is a FIFO") << QStringLiteral("racek fifo");
    QTest::newRow("racek.dat larger than any day") << QStringLiteral("racek too large");
}

void TestFailures::startUpFails()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    QVERIFY(folder.ensureTop());
    if (failure == u"data file") {
        QVERIFY(writeBytes(folder.data, "not a folder"));
    } else {
        QVERIFY(folder.ensureData());
        QVERIFY(writeBytes(folder.playerPath(), OldPlayer));
        if (failure == u"racek folder") {
            QVERIFY(QDir().mkdir(folder.racekPath()));
        } else if (failure == u"racek fifo") {
            MAKE_FIFO(folder.racekPath());
        } else if (failure == u"racek too large") {
            // A real day, then a sparse tail: larger than the limit without taking room.
            QVERIFY(QFile::copy(OldDayPath, folder.racekPath()));
            QVERIFY(QFile(folder.racekPath()).resize(LineStore::MaxDayBytes + 1));
        } else {
            SKIP_WITHOUT_UNREADABLE_FILE();
            QVERIFY(QFile::link(UnreadableFile, folder.racekPath()));
        }
    }

    Session session(folder);
    const QList<Message> messages = session.startUp();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().icon, MessageIcon::Warning);

    // An empty day, and every command answers instead of failing.
    QCOMPARE(session.store().count(), 0);
    QVERIFY(session.screen().cmbItems.isEmpty());
    QVERIFY(!session.screen().progressBar1.visible);
    QCOMPARE(session.selectRace(1).code, Code::NoVenueChosen);
    const Outcome searched = session.searchFavourite();
    QVERIFY(!searched.ok());
    QVERIFY(searched.message.has_value());
    // Still in the way, unless it is a regular file that may simply be replaced.
    if (failure != u"racek too large")
        QVERIFY(!session.importResultFile(NewDayPath, NewDayName).ok());

    // With the obstacle removed, the running program recovers through an import.
    if (failure == u"data file")
        QVERIFY(QFile::remove(folder.data));
    else
        QVERIFY(QDir().rmdir(folder.racekPath()) || QFile::remove(folder.racekPath()));
    QVERIFY(session.importResultFile(NewDayPath, NewDayName).ok());
    QVERIFY(!session.screen().cmbItems.isEmpty());
    session.selectVenue(0);
    QVERIFY(session.selectRace(1).ok() || session.selectRace(2).ok());
}

QTEST_GUILESS_MAIN(TestFailures)
#include "tst_failures.moc"
