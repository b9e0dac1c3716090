#include "favouriteday.h"

#include "store/datafolder.h"
#include "store/resultimport.h"
#include "filebytes.h"

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

    QTest::newRow("name not beginning with K")
        << QStringLiteral("B030814.TXT") << QString() << Code::BadFileName;
    QTest::newRow("source vanished")
        << QStringLiteral("K030814.TXT") << QStringLiteral("no source") << Code::ImportFailed;
    QTest::newRow("source is a folder")
        << QStringLiteral("K030814.TXT") << QStringLiteral("source folder") << Code::ImportFailed;
    QTest::newRow("read error") << QStringLiteral("K030814.TXT") << QStringLiteral("read error")
                                << Code::ImportFailed;
    QTest::newRow("8501 lines") << QStringLiteral("K030814.TXT") << QStringLiteral("too long")
                                << Code::ImportFailed;
    QTest::newRow("racek.dat cannot be replaced")
        << QStringLiteral("K030814.TXT") << QStringLiteral("racek folder") << Code::ImportFailed;
    QTest::newRow("data folder is a plain file")
        << QStringLiteral("K030814.TXT") << QStringLiteral("data file") << Code::ImportFailed;
}

void TestResultImport::refused()
{
    QFETCH(QString, name);
    QFETCH(QString, trouble);
    QFETCH(Code, code);

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
    } else if (trouble == u"too long") {
        QVERIFY(writeBytes(source, linesOf(8501)));
    } else if (trouble == u"racek folder") {
        QVERIFY(QFile::remove(folder.racekPath()));
        QVERIFY(QDir().mkdir(folder.racekPath()));
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

    const Outcome outcome = copyResultFile(from, name, folder);
    QCOMPARE(outcome.code, code);
    const Message warning { QStringLiteral("読み込みエラー"),
        QStringLiteral("ファイル読み込みエラー"), MessageIcon::Warning, MessageButtons::Ok };
    QCOMPARE(outcome.message, std::optional<Message>(warning));
    QCOMPARE(readBytes(keptPath), kept);
    // No temporary copy is left behind.
    const QStringList files = QDir(folder.data).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(files.isEmpty() || files == QStringList { QStringLiteral("racek.dat") },
        qPrintable(files.join(u' ')));
}

QTEST_GUILESS_MAIN(TestResultImport)
#include "tst_resultimport.moc"
