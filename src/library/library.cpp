#include "library.h"

#include "archivereader.h"
#include "daydate.h"
#include "dayparser.h"
#include "indexwriter.h"
#include "schema.h"
#include "sqlitehandle.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <atomic>

namespace rusena::library {

namespace {

const QString IndexFileName = QStringLiteral("library.sqlite");

QString busyText()
{
    return QStringLiteral(
        "ライブラリを他のプログラムが使っています。しばらく待ってからやり直して下さい。");
}

bool isBusy(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

Status sqlFailure(const QString &what, const QSqlError &error)
{
    if (isBusy(error))
        return { busyText(), true };
    return { what + QStringLiteral("：") + error.text(), false };
}

QString nextConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("rusena-library-%1").arg(++counter);
}

// A header date that is there but no real date ("2020/ 2/30") is named, so that the
// user sees why the day was refused.
QString noDateReason(const ParsedDay &day)
{
    const QStringView written
        = day.sections.isEmpty() ? QStringView() : day.sections.constFirst().writtenDate;
    if (written.isEmpty())
        return QStringLiteral("日付がわかりません");
    return QStringLiteral("日付がわかりません（見出しの日付「%1」は実在する日付ではありません）")
        .arg(written);
}

// A day is filed with its malformed payout lines left empty; the report says so.
QString malformedNote(const ParsedDay &day)
{
    if (day.malformedPayoutLines == 0)
        return {};
    return QStringLiteral("払戻金の読めない行 %1 行").arg(day.malformedPayoutLines);
}

DayImport failed(QString reason)
{
    return { DayImport::Result::Failed, {}, std::move(reason) };
}

} // namespace

Library::Library(QString dataFolder)
    : m_dataFolder(std::move(dataFolder))
    , m_files(m_dataFolder)
{
}

Library::~Library()
{
    close();
}

QString Library::indexPath() const
{
    return m_dataFolder + u'/' + IndexFileName;
}

bool Library::exists() const
{
    return QFileInfo::exists(indexPath()) || QFileInfo(m_files.folder()).isDir();
}

void Library::close()
{
    m_writer.reset();
    m_open = false;
    if (m_connection.isEmpty())
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

Status Library::openConnection()
{
    if (!QDir().mkpath(m_dataFolder))
        return { QStringLiteral("データフォルダを作成できませんでした。"), false };
    configureSqlite();
    m_connection = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(indexPath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return sqlFailure(QStringLiteral("ライブラリを開けません"), db.lastError());
    // WAL keeps readers and one writer out of each other's way; NORMAL sync is safe
    // against a killed process (a power cut may lose the last day, never corrupt).
    // A day touches pages all over the registration index: a cache that holds them saves
    // reading them back for every day of a batch. Statement and savepoint journals stay
    // in memory: they only ever hold a few pages.
    QSqlQuery query(db);
    // Qt hands SQLite UTF-16 and reads UTF-16 back: a new file keeps its text that way, so
    // that no value is converted on the way in or out. Pages of 16 KB take a batch's rows
    // in a quarter of the writes. Both settle a new file only; an existing one keeps its own.
    if (!query.exec(QStringLiteral("PRAGMA encoding='UTF-16le'"))
        || !query.exec(QStringLiteral("PRAGMA page_size=16384"))
        || !query.exec(QStringLiteral("PRAGMA journal_mode=WAL"))
        || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))
        || !query.exec(QStringLiteral("PRAGMA cache_size=-65536"))
        || !query.exec(QStringLiteral("PRAGMA temp_store=MEMORY")))
        return sqlFailure(QStringLiteral("ライブラリを開けません"), query.lastError());
    m_writer = std::make_unique<IndexWriter>(sqliteHandle(db));
    return {};
}

Status Library::checkIndex(bool &usable)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    usable = false;
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        return isBusy(query.lastError()) ? Status { busyText(), true } : Status {};
    if (query.value(0).toString() != u"ok")
        return {};
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return isBusy(query.lastError()) ? Status { busyText(), true } : Status {};
    usable = query.value(0).toInt() == SchemaVersion;
    return {};
}

Status Library::open(const RebuildProgress &progress)
{
    if (m_open)
        return {};
    const bool existed = QFile::exists(indexPath());
    Status status = openConnection();
    bool usable = false;
    if (status.ok())
        status = checkIndex(usable);
    if (status.busy || (!status.ok() && !existed)) {
        close();
        return status;
    }
    if (status.ok() && usable) {
        // A batch killed between dropping the indexes and making them again left them
        // missing; when they are all there this writes nothing (a read-only folder works).
        createIndexes();
        m_open = true;
        return {};
    }
    m_created = !existed;
    return rebuild(progress);
}

QSqlDatabase Library::database()
{
    if (!open().ok())
        return {};
    return QSqlDatabase::database(m_connection, false);
}

Status Library::createSchema()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    for (const char *statement : TableStatements) {
        if (!query.exec(QString::fromLatin1(statement)))
            return sqlFailure(QStringLiteral("ライブラリを作成できません"), query.lastError());
    }
    return {};
}

Status Library::createIndexes()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    for (const char *statement : IndexStatements) {
        if (!query.exec(QString::fromLatin1(statement)))
            return sqlFailure(QStringLiteral("ライブラリを作成できません"), query.lastError());
    }
    return {};
}

bool Library::deferIndexes()
{
    if (!open().ok())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM days)")) || !query.next()
        || query.value(0).toBool())
        return false;
    for (const char *name : IndexNames) {
        if (!query.exec(QStringLiteral("DROP INDEX IF EXISTS ") + QString::fromLatin1(name)))
            return false;
    }
    return true;
}

Status Library::restoreIndexes()
{
    const Status opened = open();
    return opened.ok() ? createIndexes() : opened;
}

Status Library::rebuild(const RebuildProgress &progress)
{
    close();
    for (const QString &suffix :
        { QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal") }) {
        QFile file(indexPath() + suffix);
        if (file.exists() && !file.remove())
            return { QStringLiteral("ライブラリを作り直せません：") + file.errorString(), false };
    }
    // The new file says user_version 0 until the last day is in: a rebuild cut short is
    // rebuilt again on the next open, never used.
    Status status = openConnection();
    if (status.ok())
        status = createSchema();
    if (!status.ok()) {
        close();
        return status;
    }
    // Days go in groups of this many a commit: a rebuild cut short is redone anyway.
    constexpr int DaysPerCommit = 16;
    const QList<QDate> dates = m_files.dates();
    for (int i = 0; i < dates.size(); ++i) {
        if (i % DaysPerCommit == 0) {
            m_writer->commitGroup();
            m_writer->beginGroup();
        }
        if (const std::optional<QByteArray> bytes = m_files.read(dates[i]))
            fileRawDay(dates[i], m_files.origin(dates[i]), *bytes);
        if (progress)
            progress(i + 1, int(dates.size()), dates[i]);
    }
    if (!m_writer->commitGroup()) {
        const Status failure { QStringLiteral("ライブラリを作成できません：") + m_writer->error(),
            m_writer->wasBusy() };
        close();
        return failure;
    }
    status = createIndexes();
    if (!status.ok()) {
        close();
        return status;
    }
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion))) {
        const Status failure
            = sqlFailure(QStringLiteral("ライブラリを作成できません"), query.lastError());
        close();
        return failure;
    }
    m_open = true;
    return {};
}

Status Library::fileRawDay(const QDate &date, const QString &file, const QByteArray &bytes)
{
    const DayRecord record { date, file, DayFiles::storedName(date), bytes.size(),
        dayDigest(bytes) };
    if (!m_writer->replaceDay(record, dayRows(parseDayBytes(bytes))))
        return m_writer->wasBusy()
            ? Status { busyText(), true }
            : Status { QStringLiteral("ライブラリに書き込めません：") + m_writer->error(), false };
    return {};
}

QString Library::storedDigest(const QDate &date)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT bytes_digest FROM days WHERE date = ?"));
    query.addBindValue(date.toString(Qt::ISODate));
    if (!query.exec() || !query.next())
        return {};
    return query.value(0).toString();
}

QList<QDate> Library::datesOfDigest(const QString &digest)
{
    QList<QDate> dates;
    if (!open().ok())
        return dates;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT date FROM days WHERE bytes_digest = ? ORDER BY date"));
    query.addBindValue(digest);
    if (!query.exec())
        return dates;
    while (query.next())
        dates.append(QDate::fromString(query.value(0).toString(), Qt::ISODate));
    return dates;
}

QString dayDigest(QByteArrayView bytes)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_160).toHex());
}

PreparedDay prepareDay(QString fileName, QByteArray bytes)
{
    PreparedDay prepared { std::move(fileName), std::move(bytes), {}, {} };
    if (prepared.bytes.size() > MaxDayBytes)
        return prepared;
    prepared.rows = dayRows(parseDayBytes(prepared.bytes));
    prepared.digest = dayDigest(prepared.bytes);
    return prepared;
}

DayImport Library::importDay(const QString &fileName, const QByteArray &bytes)
{
    return importDay(prepareDay(fileName, bytes));
}

DayImport Library::importDay(const PreparedDay &prepared)
{
    const Status opened = open();
    if (!opened.ok())
        return failed(opened.error);
    const QByteArray &bytes = prepared.bytes;
    const ParsedDay &day = prepared.rows.day;
    if (bytes.size() > MaxDayBytes)
        return failed(QStringLiteral("ファイルが大きすぎます"));
    if (day.sections.isEmpty())
        return failed(QStringLiteral("レース場の区切りがありません"));
    const QDate date = dayDate(prepared.fileName, day.firstSectionDate());
    if (!date.isValid())
        return failed(noDateReason(day));

    const QString previous = storedDigest(date);
    if (previous == prepared.digest && QFile::exists(m_files.pathOf(date)))
        return { DayImport::Result::Unchanged, date, QStringLiteral("同じ内容の日が登録済み") };
    // The raw file first: an index row never stands without its file.
    if (!m_files.write(date, bytes, prepared.fileName))
        return { DayImport::Result::Failed, date, QStringLiteral("日のファイルを書き込めません") };
    // A day on its own is committed at once: its file reaches the disk first. In a group,
    // commitDays() syncs the group's files together.
    if (!m_writer->inGroup() && !m_files.syncWritten())
        return { DayImport::Result::Failed, date,
            QStringLiteral("日のファイルをディスクに書き込めません") };
    const DayRecord record { date, prepared.fileName, DayFiles::storedName(date), bytes.size(),
        prepared.digest };
    if (!m_writer->replaceDay(record, prepared.rows))
        return { DayImport::Result::Failed, date,
            m_writer->wasBusy()
                ? busyText()
                : QStringLiteral("ライブラリに書き込めません：") + m_writer->error() };
    return { previous.isEmpty() ? DayImport::Result::Added : DayImport::Result::Replaced, date,
        malformedNote(day) };
}

void Library::beginDays()
{
    // When the lock cannot be had now, each day waits for it on its own.
    if (open().ok())
        m_writer->beginGroup();
}

Status Library::commitDays()
{
    if (!m_writer)
        return {};
    // The group's raw files reach the disk before the rows that name them.
    if (!m_files.syncWritten()) {
        m_writer->rollbackGroup();
        return { QStringLiteral("日のファイルをディスクに書き込めません"), false };
    }
    if (m_writer->commitGroup())
        return {};
    return m_writer->wasBusy()
        ? Status { busyText(), true }
        : Status { QStringLiteral("ライブラリに書き込めません：") + m_writer->error(), false };
}

QList<StoredDay> Library::storedDays()
{
    QList<StoredDay> out;
    QSqlQuery query(database());
    if (!query.exec(
            QStringLiteral("SELECT date, file, venues, races FROM days ORDER BY date DESC")))
        return out;
    while (query.next())
        out.append({ QDate::fromString(query.value(0).toString(), Qt::ISODate),
            query.value(1).toString(), query.value(2).toInt(), query.value(3).toInt() });
    return out;
}

} // namespace rusena::library
