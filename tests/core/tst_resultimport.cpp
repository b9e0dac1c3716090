#include "favouriteday.h"

#include "endlessdevice.h"
#include "fifo.h"
#include "filebytes.h"
#include "store/datafolder.h"
#include "store/linestore.h"
#include "store/regularfile.h"
#include "store/resultimport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena;

namespace {

const QByteArray OldDay = "02KBGN\r\nold day\r\n02KEND\r\nFINALK\r\n";

QByteArray linesOf(int count)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += "line\r\n";
    return bytes;
}

} // namespace

class TestResultImport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readAtMost_data();
    void readAtMost();
    void fileName_data();
    void fileName();
    void copiesRealFileByteForByte();
    void createsMissingFolders();
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
};

void TestResultImport::fileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("K, upper-case extension") << QStringLiteral("K030814.TXT") << true;
    QTest::newRow("k, archive style") << QStringLiteral("k200105.txt") << true;
    QTest::newRow("other letter") << QStringLiteral("B030814.TXT") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("full-width K") << QStringLiteral("Ｋ030814.TXT") << false;
    QTest::newRow("leading blank") << QStringLiteral(" K030814.TXT") << false;
}

void TestResultImport::fileName()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(isResultFileName(name), accepted);
}

void TestResultImport::copiesRealFileByteForByte()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    QVERIFY(folder.ensureData());
    QVERIFY(writeBytes(folder.racekPath(), OldDay));

    const QString source = QStringLiteral(RUSENA_TEST_DATA "/k200105.txt");
    const Outcome outcome = copyResultFile(source, QStringLiteral("k200105.txt"), folder);
    QVERIFY(outcome.ok());
    const Message copied { QStringLiteral("ファイルコピー終了"),
        QStringLiteral("レース結果ファイルコピー終了"), MessageIcon::Information,
        MessageButtons::Ok };
    QCOMPARE(outcome.message, std::optional<Message>(copied));
    QCOMPARE(readBytes(folder.racekPath()), readBytes(source));
}

void TestResultImport::createsMissingFolders()
{
    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    const QString source = dir.filePath(QStringLiteral("K030814.TXT"));
    QVERIFY(writeBytes(source, OldDay));

    QVERIFY(copyResultFile(source, QStringLiteral("K030814.TXT"), folder).ok());
    QCOMPARE(readBytes(folder.racekPath()), OldDay);
}

void TestResultImport::accepted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("no KBGN line, no terminator") << QByteArray("just text");
    QTest::newRow("exactly 8500 lines") << linesOf(8500);
    QTest::newRow("8500 lines, the last unterminated") << linesOf(8499) + "last";
    QTest::newRow("line feeds only are one line") << QByteArray("a\nb\n").repeated(9000);
}

void TestResultImport::accepted()
{
    QFETCH(QByteArray, bytes);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    const QString source = dir.filePath(QStringLiteral("K1.TXT"));
    QVERIFY(writeBytes(source, bytes));

    QVERIFY(copyResultFile(source, QStringLiteral("K1.TXT"), folder).ok());
    QCOMPARE(readBytes(folder.racekPath()), bytes);
}

void TestResultImport::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<Code>("code");
    QTest::addColumn<Message>("message");

    const QString name = QStringLiteral("K030814.TXT");
    const Message file = importErrorMessage();
    const Message writing = folderWriteFailedMessage();
    QTest::newRow("name not beginning with K")
        << QStringLiteral("B030814.TXT") << QString() << Code::BadFileName << file;
    QTest::newRow("source vanished")
        << name << QStringLiteral("no source") << Code::ImportFailed << file;
    QTest::newRow("source is a folder")
        << name << QStringLiteral("source folder") << Code::ImportFailed << file;
    QTest::newRow("source is a FIFO")
        << name << QStringLiteral("source fifo") << Code::ImportFailed << file;
    QTest::newRow("read error") << name << QStringLiteral("read error") << Code::ImportFailed
                                << file;
    QTest::newRow("8501 lines") << name << QStringLiteral("too long") << Code::ImportFailed << file;
    QTest::newRow("larger than any day, never read")
        << name << QStringLiteral("too large") << Code::ImportFailed << file;
    QTest::newRow("endless lines, read only past line 8500")
        << name << QStringLiteral("endless lines") << Code::ImportFailed << file;
    QTest::newRow("endless bytes, read only past the byte limit")
        << name << QStringLiteral("endless bytes") << Code::ImportFailed << file;
    QTest::newRow("racek.dat cannot be replaced")
        << name << QStringLiteral("racek folder") << Code::ImportFailed << writing;
    QTest::newRow("racek.dat is a link, the linked file stays")
        << name << QStringLiteral("racek link") << Code::ImportFailed << writing;
    QTest::newRow("racek.dat is a FIFO")
        << name << QStringLiteral("racek fifo") << Code::ImportFailed << writing;
    QTest::newRow("data folder is a plain file")
        << name << QStringLiteral("data file") << Code::ImportFailed << folderCreateFailedMessage();
}

void TestResultImport::refused()
{
    QFETCH(QString, name);
    QFETCH(QString, trouble);
    QFETCH(Code, code);
    QFETCH(Message, message);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    QVERIFY(folder.ensureData());
    const QString source = dir.filePath(name);
    QVERIFY(writeBytes(source, favouriteday::crlf(favouriteday::section(QStringLiteral("12")))));

    // What racek.dat is before the import; it must be the same afterwards.
    QString keptPath = folder.racekPath();
    QByteArray kept = OldDay;
    QVERIFY(writeBytes(folder.racekPath(), OldDay));

    if (trouble == u"no source") {
        QVERIFY(QFile::remove(source));
    } else if (trouble == u"source folder") {
        QVERIFY(QFile::remove(source));
        QVERIFY(QDir().mkdir(source));
    } else if (trouble == u"source fifo") {
        QVERIFY(QFile::remove(source));
        MAKE_FIFO(source);
    } else if (trouble == u"too long") {
        QVERIFY(writeBytes(source, linesOf(8501)));
    } else if (trouble == u"too large") {
        QFile file(source); // sparse: it takes no room on disk
        QVERIFY(file.resize(LineStore::MaxDayBytes + 1));
    } else if (trouble == u"racek folder") {
        QVERIFY(QFile::remove(folder.racekPath()));
        QVERIFY(QDir().mkdir(folder.racekPath()));
        kept.clear();
    } else if (trouble == u"racek link") {
        QVERIFY(QFile::remove(folder.racekPath()));
        keptPath = dir.filePath(QStringLiteral("linked.dat"));
        QVERIFY(writeBytes(keptPath, OldDay));
        QVERIFY(QFile::link(keptPath, folder.racekPath()));
    } else if (trouble == u"racek fifo") {
        QVERIFY(QFile::remove(folder.racekPath()));
        MAKE_FIFO(folder.racekPath());
        kept.clear();
    } else if (trouble == u"data file") {
        QVERIFY(QDir(folder.data).removeRecursively());
        QVERIFY(writeBytes(folder.data, OldDay));
        keptPath = folder.data;
    }

    QString from = source;
    if (trouble == u"read error") {
        // Opens fine, then every read fails with an I/O error.
        from = QStringLiteral("/proc/self/mem");
        if (!QFile::exists(from))
            QSKIP("needs /proc/self/mem");
    }

    Outcome outcome;
    if (trouble.startsWith(u"endless")) {
        EndlessDevice endless(trouble == u"endless lines" ? "line\r\n" : "x");
        QVERIFY(endless.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        outcome = copyResultData(endless, name, folder);
        // Refused after a few pieces past the limit, not when memory runs out.
        QVERIFY(endless.served()
            <= (trouble == u"endless lines" ? 64 * 1024 : LineStore::MaxDayBytes + 64 * 1024));
    } else {
        outcome = copyResultFile(from, name, folder);
    }
    QCOMPARE(outcome.code, code);
    QCOMPARE(outcome.message, std::optional<Message>(message));
    if (trouble != u"racek fifo") // reading it here would wait for a writer
        QCOMPARE(readBytes(keptPath), kept);
    // No temporary copy is left behind, and whatever stood at racek.dat still does.
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList files = QDir(folder.data).entryList(all);
    QVERIFY2(files.isEmpty() || files == QStringList { QStringLiteral("racek.dat") },
        qPrintable(files.join(u' ')));
    QCOMPARE(QFileInfo(folder.racekPath()).isSymLink(), trouble == u"racek link");
    QCOMPARE(isFifo(folder.racekPath()), trouble == u"racek fifo");
}

// A file's bytes up to a limit, also when the file says less than it holds (as /proc's do).
void TestResultImport::readAtMost_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<qint64>("expected");
    const QString sample = QStringLiteral(RUSENA_TEST_DATA "/k200105.txt");
    const qint64 size = QFileInfo(sample).size();
    QTest::newRow("under the limit") << sample << size + 1 << size;
    QTest::newRow("at the limit") << sample << size << size;
    QTest::newRow("over the limit") << sample << size - 1 << size - 1;
    QTest::newRow("size of none") << QStringLiteral("/proc/self/maps") << qint64(256 * 1024)
                                  << qint64(-1);
}

void TestResultImport::readAtMost()
{
    QFETCH(QString, path);
    QFETCH(qint64, limit);
    QFETCH(qint64, expected);
    QFile file(path);
    if (!file.exists())
        QSKIP("no such file here");
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const QByteArray bytes = rusena::readAtMost(file, limit);
    if (expected < 0) {
        QVERIFY(bytes.size() > 0);
        QVERIFY(bytes.endsWith('\n')); // read to the end, not to a reported size of 0
        return;
    }
    QCOMPARE(bytes.size(), expected);
}

QTEST_GUILESS_MAIN(TestResultImport)
#include "tst_resultimport.moc"
