#include "library.h"

#include "archivereader.h"
#include "daydate.h"
#include "dayparser.h"
#include "indexcheck.h"
#include "indexwriter.h"
#include "schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <atomic>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace rusena::library {

namespace {

const QString IndexFileName = QStringLiteral("library.sqlite");

// The writing connection's page cache: a day touches pages all over the registration
// index, and a cache that holds them saves reading them back for every day of a batch.
constexpr const char *WriteCache = "PRAGMA cache_size=-65536";
// While an index is made, SQLite sorts the rows in runs as large as the page cache. Runs of
// 4 MB are sorted within the processor's caches, where runs of 64 MB missed them at every
// step: ten years' registration index was made in 3.5-4.3 s against 4.6-5.4 s, and the
// import's peak memory fell from 228 to 128 MB (one run is filled while the helper thread
// sorts another).
constexpr const char *SortCache = "PRAGMA cache_size=-4096";

QString busyText()
{
    return QStringLiteral(
        "ライブラリを他のプログラムが使っています。しばらく待ってからやり直して下さい。");
}

Status busy()
{
    return { busyText(), true };
}

QString readOnlyText()
{
    return QStringLiteral("データフォルダに書き込めません（読み取り専用です）。"
                          "書き込みのできる利用者か場所で行って下さい。");
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

// Whether this process may create and change files in the folder: not on a read-only file
// system, not in another user's folder.
bool isWritableFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
#else
    return QFileInfo(folder).isWritable();
#endif
}

// The index is written only as a regular file of its own: a link could point into
// another program's database, and SQLite would turn it to WAL mode and write through it.
bool isOddIndexFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isFile());
}

} // namespace

Library::Library(QString dataFolder)
    : m_dataFolder(std::move(dataFolder))
    , m_files(m_dataFolder)
    , m_lock(m_dataFolder)
    , m_stamp(m_dataFolder, indexPath())
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

void Library::disconnect()
{
    m_writer.reset();
    m_open = false;
    m_db.close();
    if (m_connection.isEmpty())
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

void Library::close()
{
    const bool wasOpen = m_open && !m_readOnly;
    disconnect();
    // The stamp says the files are whole as they stand, unless another process began
    // writing since this one looked: then it is that one's to write.
    if (wasOpen && !m_lock.isHeld() && m_lock.tryAcquire()) {
        if (m_stamp.read() == m_stampSeen)
            m_stamp.markClosed();
        m_lock.release();
    }
}

Status Library::connect(SqliteConnection::Mode mode)
{
    if (!m_db.open(indexPath(), mode, BusyTimeoutMs))
        return { QStringLiteral("ライブラリを開けません：") + m_db.error(), m_db.wasBusy() };
    if (mode == SqliteConnection::Mode::Immutable)
        return {};
    // Qt hands SQLite UTF-16 and reads UTF-16 back: a new file keeps its text that way, so
    // that no value is converted on the way in or out. Pages of 64 KB, the largest SQLite
    // has, hold a batch's rows in the fewest pages: ten years imported in a sixth less time
    // and a seventh less room than with 16 KB, the queries as quick. WAL keeps readers and
    // one writer out of each other's way. All three settle a new file, which only the
    // holder of the write lock makes: a reader that finds a file being made writes nothing
    // to it.
    // NORMAL sync is safe against a killed process (a power cut may lose the last day,
    // never corrupt). Statement and savepoint journals stay in memory: they only ever hold
    // a few pages.
    QList<const char *> pragmas { "PRAGMA synchronous=NORMAL", WriteCache,
        "PRAGMA temp_store=MEMORY" };
    if (mode == SqliteConnection::Mode::Create)
        pragmas = QList<const char *> {
            "PRAGMA encoding='UTF-16le'", "PRAGMA page_size=65536", "PRAGMA journal_mode=WAL"
        } + pragmas;
    for (const char *pragma : pragmas) {
        if (!m_db.exec(pragma)) {
            const Status failure { QStringLiteral("ライブラリを開けません：") + m_db.error(),
                m_db.wasBusy() };
            m_db.close();
            return failure;
        }
    }
    m_writer = std::make_unique<IndexWriter>(m_db.handle());
    return {};
}

Status Library::openQueries()
{
    m_connection = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (m_readOnly) {
        db.setDatabaseName(SqliteConnection::uri(indexPath(), QStringLiteral("immutable=1")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    } else {
        db.setDatabaseName(indexPath());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    }
    if (!db.open())
        return { QStringLiteral("ライブラリを開けません：") + db.lastError().text(), false };
    // A history or a form reads rows all over the file: mapped, a page is read where it
    // lies instead of copied into the cache first. SQLite caps the size at what it was
    // built for.
    QSqlQuery query(db);
    query.exec(QStringLiteral("PRAGMA cache_size=-65536"));
    query.exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    query.exec(QStringLiteral("PRAGMA mmap_size=4294967296"));
    return {};
}

Status Library::open(const RebuildProgress &progress)
{
    if (m_open) {
        if (!m_db.hasMoved())
            return {};
        // Another process made the index anew in a file of its own: read that one.
        disconnect();
    }
    if (isOddIndexFile(indexPath()))
        return { QStringLiteral("ライブラリを開けません：") + indexPath()
                + QStringLiteral(" が通常のファイルではありません。"
                                 "リンクやフォルダの先には書き込みません。"),
            false };
    if (!QDir().mkpath(m_dataFolder))
        return { QStringLiteral("データフォルダを作成できませんでした。"), false };
    m_readOnly = !isWritableFolder(m_dataFolder);
    return m_readOnly ? openReadOnly() : openWritable(progress);
}

Status Library::openWritable(const RebuildProgress &progress)
{
    // The usual case needs no lock: the stamp says the index is whole, and SQLite's own
    // header and schema checks pass.
    m_stampSeen = m_stamp.read();
    if (QFileInfo::exists(indexPath()) && connect(SqliteConnection::Mode::ReadWrite).ok()) {
        int version = 0;
        if (m_stamp.trusts(m_stampSeen) && m_db.intValue("PRAGMA user_version", version)
            && version == SchemaVersion)
            return finishOpen();
        disconnect();
    }
    // It must be made, checked or mended: only under the write lock, and after looking
    // again, since another process may just have done it.
    if (!m_lock.acquire(RebuildWaitMs))
        return busy();
    const Status status = openLocked(progress);
    m_lock.release();
    return status;
}

Status Library::openLocked(const RebuildProgress &progress)
{
    const bool existed = QFileInfo::exists(indexPath());
    m_created = !existed;
    m_stampSeen = m_stamp.read();
    Status status = connect(SqliteConnection::Mode::Create);
    if (status.busy)
        return status;
    if (!status.ok() || !existed)
        return rebuildLocked(progress, existed);
    int version = 0;
    if (m_stamp.trusts(m_stampSeen) && m_db.intValue("PRAGMA user_version", version)
        && version == SchemaVersion)
        return finishOpen();
    return mend(checkIndex(m_db, m_files, SchemaVersion), progress);
}

Status Library::openReadOnly()
{
    const auto needsWriter = [](const QString &what) {
        return Status { what
                + QStringLiteral("データフォルダに書き込めないので作り直せません。"
                                 "書き込みのできる利用者が開くか、作り直して下さい。"),
            false };
    };
    if (!QFileInfo::exists(indexPath()))
        return needsWriter(QStringLiteral("ライブラリの索引がありません。"));
    // Left by a process that did not close it: what it holds cannot be read without
    // writing beside it.
    if (QFileInfo(indexPath() + QStringLiteral("-wal")).size() > 0)
        return needsWriter(QStringLiteral("ライブラリが閉じられていません。"));
    Status status = connect(SqliteConnection::Mode::Immutable);
    if (!status.ok())
        return status;
    int version = 0;
    bool readable = m_db.intValue("PRAGMA user_version", version);
    if (readable && !m_stamp.trusts(m_stamp.read()))
        readable = checkIndex(m_db, m_files, SchemaVersion).readable;
    if (!readable) {
        disconnect();
        return needsWriter(QStringLiteral("ライブラリが壊れています。"));
    }
    if (version != SchemaVersion) {
        disconnect();
        return needsWriter(QStringLiteral("ライブラリが古い形式です。"));
    }
    status = openQueries();
    if (!status.ok()) {
        disconnect();
        return status;
    }
    m_open = true;
    return {};
}

Status Library::finishOpen()
{
    // A batch killed between dropping the query indexes and making them again left them
    // missing.
    Status status = restoreMissingIndexes();
    if (status.ok())
        status = openQueries();
    if (status.ok() && m_db.hasMoved())
        status = busy(); // replaced while being opened: the next open reads the new one
    if (!status.ok()) {
        disconnect();
        return status;
    }
    m_open = true;
    return {};
}

Status Library::restoreMissingIndexes()
{
    int present = 0;
    QString names;
    for (const char *name : IndexNames)
        names += (names.isEmpty() ? QString() : QStringLiteral(",")) + u'\''
            + QString::fromLatin1(name) + u'\'';
    const QByteArray sql = "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name IN ("
        + names.toUtf8() + ")";
    if (m_db.intValue(sql.constData(), present) && present == int(IndexNames.size()))
        return {};
    if (!m_lock.acquire(BusyTimeoutMs))
        return {}; // the queries work without them, only slower
    const Status status = createIndexes();
    m_lock.release();
    return status;
}

Status Library::mend(const IndexCheck &check, const RebuildProgress &progress)
{
    if (!check.readable)
        return rebuildLocked(progress, true);
    if (check.version != SchemaVersion)
        return rebuildLocked(progress, false);
    if (!check.daysToFile.isEmpty()) {
        const Status status = refile(check.daysToFile);
        if (!status.ok()) {
            disconnect();
            return status;
        }
    }
    return finishOpen();
}

QSqlDatabase Library::database()
{
    if (!open().ok())
        return {};
    return QSqlDatabase::database(m_connection, false);
}

sqlite3 *Library::connection()
{
    return open().ok() ? m_db.handle() : nullptr;
}

Status Library::createIndexes()
{
    // Made after the rows, an index is one sort of them all: in memory, the registration
    // index of ten years would take some hundreds of MB. Sorted in temporary files, memory
    // stays at a few runs of the sort; a helper thread sorts beside the writer.
    bool ok = m_db.exec("PRAGMA temp_store=FILE") && m_db.exec("PRAGMA threads=1")
        && m_db.exec(SortCache);
    for (const char *statement : IndexStatements)
        ok = ok && m_db.exec(statement);
    const Status status = ok
        ? Status {}
        : Status { QStringLiteral("索引を作成できません：") + m_db.error(), m_db.wasBusy() };
    m_db.exec(WriteCache);
    m_db.exec("PRAGMA threads=0");
    m_db.exec("PRAGMA temp_store=MEMORY");
    return status;
}

bool Library::deferIndexes()
{
    if (!open().ok())
        return false;
    int any = 0;
    if (!m_db.intValue("SELECT EXISTS (SELECT 1 FROM days)", any) || any)
        return false;
    for (std::size_t i = 0; i < DeferredIndexes; ++i) {
        if (!m_db.exec(QByteArray("DROP INDEX IF EXISTS " + QByteArray(IndexNames[i])).constData()))
            return false;
    }
    return true;
}

Status Library::restoreIndexes()
{
    const Status opened = open();
    return opened.ok() ? createIndexes() : opened;
}

Status Library::beginWriting(int waitMs)
{
    if (!QDir().mkpath(m_dataFolder) || !isWritableFolder(m_dataFolder))
        return { readOnlyText(), false };
    const bool outermost = !m_lock.isHeld();
    if (!m_lock.acquire(waitMs))
        return busy();
    Status status = open();
    if (status.ok() && m_readOnly)
        status = { readOnlyText(), false };
    // From here until an orderly close, a death of this process means a full check.
    if (status.ok() && outermost) {
        m_stampSeen = m_stamp.markWriting();
        if (m_stampSeen.isEmpty())
            status = { readOnlyText(), false };
    }
    if (!status.ok())
        m_lock.release();
    return status;
}

void Library::endWriting()
{
    m_lock.release();
}

Status Library::rebuild(const RebuildProgress &progress)
{
    if (isOddIndexFile(indexPath()))
        return open();
    if (!QDir().mkpath(m_dataFolder) || !isWritableFolder(m_dataFolder))
        return { readOnlyText(), false };
    if (!m_lock.acquire(RebuildWaitMs))
        return busy();
    disconnect();
    m_readOnly = false;
    m_stampSeen = m_stamp.read();
    const bool existed = QFileInfo::exists(indexPath());
    m_created = !existed;
    const Status connected = connect(SqliteConnection::Mode::Create);
    const Status status
        = connected.busy ? connected : rebuildLocked(progress, existed && !connected.ok());
    m_lock.release();
    return status;
}

CheckReport Library::check(const RebuildProgress &progress)
{
    CheckReport report;
    report.status = open(progress);
    if (!report.status.ok())
        return report;
    if (m_readOnly) {
        report.findings = checkIndex(m_db, m_files, SchemaVersion).findings;
        if (!report.findings.isEmpty())
            report.status = { readOnlyText(), false };
        return report;
    }
    if (!m_lock.acquire(RebuildWaitMs)) {
        report.status = busy();
        return report;
    }
    const IndexCheck check = checkIndex(m_db, m_files, SchemaVersion);
    report.findings = check.findings;
    if (!check.sound(SchemaVersion)) {
        m_stampSeen = m_stamp.markWriting();
        disconnect();
        report.status = connect(SqliteConnection::Mode::Create);
        if (report.status.ok())
            report.status = mend(check, progress);
        else if (!report.status.busy)
            report.status = rebuildLocked(progress, true);
    }
    m_lock.release();
    return report;
}

Status Library::recreateFile()
{
    disconnect();
    for (const QString &suffix :
        { QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal") }) {
        QFile file(indexPath() + suffix);
        if (file.exists() && !file.remove())
            return { QStringLiteral("壊れた索引を消せません：") + file.errorString(), false };
    }
    return connect(SqliteConnection::Mode::Create);
}

Status Library::clearIndex()
{
    // One transaction: a reader sees the old index or the empty one that says it is
    // being made, never a mixture.
    if (!m_db.exec("BEGIN IMMEDIATE"))
        return { QStringLiteral("索引を空にできません：") + m_db.error(), m_db.wasBusy() };
    QList<QByteArray> tables;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(m_db.handle(),
            "SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"
            " AND name NOT LIKE 'sqlite_%'",
            -1, &s, nullptr)
        == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW)
            tables.append(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    bool ok = s != nullptr;
    for (const QByteArray &table : tables) {
        const QByteArray quoted = '"' + QByteArray(table).replace('"', "\"\"") + '"';
        ok = ok
            && (m_db.exec(QByteArray("DROP TABLE IF EXISTS " + quoted).constData())
                || m_db.exec(QByteArray("DROP VIEW IF EXISTS " + quoted).constData()));
    }
    for (const char *statement : TableStatements)
        ok = ok && m_db.exec(statement);
    // Version 0 until the last day is in: a rebuild cut short is made again on the next
    // open, never used.
    ok = ok && m_db.exec("PRAGMA user_version=0") && m_db.exec("COMMIT");
    if (ok)
        return {};
    const Status failure { QStringLiteral("索引を空にできません：") + m_db.error(),
        m_db.wasBusy() };
    m_db.exec("ROLLBACK");
    return failure;
}

Status Library::rebuildLocked(const RebuildProgress &progress, bool recreate)
{
    m_open = false;
    m_stampSeen = m_stamp.markWriting();
    if (m_stampSeen.isEmpty())
        return { readOnlyText(), false };
    Status status = recreate || !m_db.isOpen() ? recreateFile() : Status {};
    // An index made before WAL was used is turned to it while nobody else writes.
    if (status.ok() && !m_db.exec("PRAGMA journal_mode=WAL"))
        status = { QStringLiteral("索引を開けません：") + m_db.error(), m_db.wasBusy() };
    if (status.ok())
        status = clearIndex();
    // A file too damaged to empty is made anew beside the processes still holding it
    // open; they see that it moved and open the new one.
    if (!status.ok() && !status.busy && !recreate) {
        status = recreateFile();
        if (status.ok())
            status = clearIndex();
    }
    if (status.ok())
        status = fileAllDays(progress);
    if (status.ok())
        status = createIndexes();
    if (status.ok()
        && !m_db.exec(
            QByteArray("PRAGMA user_version=" + QByteArray::number(SchemaVersion)).constData()))
        status = { QStringLiteral("索引の版を書き込めません：") + m_db.error(), m_db.wasBusy() };
    if (!status.ok()) {
        if (m_writer)
            m_writer->rollbackGroup();
        disconnect();
        return { QStringLiteral("ライブラリを作り直せませんでした。") + status.error
                + QStringLiteral(" 索引は作り直すまで使えません。"),
            status.busy };
    }
    return finishOpen();
}

Status Library::fileAllDays(const RebuildProgress &progress)
{
    // Days go in groups of this many a commit: a rebuild cut short is redone anyway.
    constexpr int DaysPerCommit = 16;
    QList<std::pair<QDate, DayKind>> days;
    for (const DayKind kind : { DayKind::Result, DayKind::Programme }) {
        for (const QDate &date : m_files.dates(kind))
            days.append({ date, kind });
    }
    for (int i = 0; i < days.size(); ++i) {
        const auto [date, kind] = days[i];
        if (i % DaysPerCommit == 0) {
            if (!m_writer->commitGroup() || !m_writer->beginGroup())
                return writerFailure();
        }
        const QString name = DayFiles::storedName(date, kind);
        const std::optional<QByteArray> bytes = m_files.read(date, kind);
        if (!bytes)
            return { name + QStringLiteral(" を読めません。"), false };
        const Status filed = fileRawDay(date, kind, m_files.origin(date, kind), *bytes);
        if (!filed.ok())
            return { name + QStringLiteral("：") + filed.error, filed.busy };
        if (progress)
            progress(i + 1, int(days.size()), date);
    }
    return m_writer->commitGroup() ? Status {} : writerFailure();
}

Status Library::refile(const QList<std::pair<DayKind, QDate>> &days)
{
    if (!m_writer->beginGroup())
        return writerFailure();
    for (const auto &[kind, date] : days) {
        const QFileInfo info(m_files.pathOf(date, kind));
        const std::optional<QByteArray> bytes
            = info.isFile() && !info.isSymLink() ? m_files.read(date, kind) : std::nullopt;
        const bool done = bytes ? fileRawDay(date, kind, m_files.origin(date, kind), *bytes).ok()
                                : m_writer->forgetDay(date, kind);
        if (!done) {
            m_writer->rollbackGroup();
            return writerFailure();
        }
    }
    return m_writer->commitGroup() ? Status {} : writerFailure();
}

Status Library::writerFailure() const
{
    if (m_writer->wasBusy())
        return busy();
    return { QStringLiteral("ライブラリに書き込めません：") + m_writer->error(), false };
}

Status Library::fileRawDay(
    const QDate &date, DayKind kind, const QString &file, const QByteArray &bytes)
{
    PreparedDay prepared { file, bytes, kind, {}, {}, dayDigest(bytes) };
    if (kind == DayKind::Programme)
        prepared.programme = parseProgrammeBytes(bytes);
    else
        prepared.rows = dayRows(parseDayBytes(bytes));
    const DayRecord record { date, file, DayFiles::storedName(date, kind), bytes.size(),
        prepared.digest };
    if (!replaceRows(record, prepared))
        return writerFailure();
    return {};
}

bool Library::replaceRows(const DayRecord &record, const PreparedDay &prepared)
{
    return prepared.kind == DayKind::Programme
        ? m_writer->replaceProgramme(record, prepared.programme)
        : m_writer->replaceDay(record, prepared.rows);
}

QString Library::storedDigest(const QDate &date, DayKind kind)
{
    sqlite3_stmt *s = nullptr;
    const char *sql = kind == DayKind::Programme
        ? "SELECT bytes_digest FROM programme_days WHERE date = ?"
        : "SELECT bytes_digest FROM days WHERE date = ?";
    if (sqlite3_prepare_v2(m_db.handle(), sql, -1, &s, nullptr) != SQLITE_OK)
        return {};
    const QByteArray key = date.toString(Qt::ISODate).toLatin1();
    sqlite3_bind_text(s, 1, key.constData(), int(key.size()), SQLITE_STATIC);
    QString digest;
    if (sqlite3_step(s) == SQLITE_ROW)
        digest = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    return digest;
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
    PreparedDay prepared { std::move(fileName), std::move(bytes), {}, {}, {}, {} };
    if (prepared.bytes.size() > MaxDayBytes)
        return prepared;
    prepared.kind = kindOfDay(prepared.fileName, prepared.bytes);
    if (prepared.kind == DayKind::Programme)
        prepared.programme = parseProgrammeBytes(prepared.bytes);
    else if (prepared.kind == DayKind::Result)
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
    if (prepared.bytes.size() > MaxDayBytes)
        return failed(QStringLiteral("ファイルが大きすぎます"));
    if (!prepared.kind)
        return failed(QStringLiteral("成績でも番組表でもありません"));
    const DayKind kind = *prepared.kind;
    const bool programme = kind == DayKind::Programme;
    if (programme ? prepared.programme.sections.isEmpty() : prepared.rows.day.sections.isEmpty())
        return failed(QStringLiteral("レース場の区切りがありません"));
    const QDate date = dayDate(prepared.fileName,
        programme ? prepared.programme.firstSectionDate() : prepared.rows.day.firstSectionDate());
    if (!date.isValid())
        return failed(
            programme ? QStringLiteral("日付がわかりません") : noDateReason(prepared.rows.day));
    const Status writing = beginWriting();
    if (!writing.ok())
        return { DayImport::Result::Failed, date, writing.error, kind };
    const DayImport outcome = fileDay(prepared, date);
    endWriting();
    return outcome;
}

DayImport Library::fileDay(const PreparedDay &prepared, const QDate &date)
{
    const DayKind kind = *prepared.kind;
    // "Unchanged" only when the file on disk holds these bytes as well as the index says
    // so: a day file changed behind the library's back is written again.
    const QFileInfo info(m_files.pathOf(date, kind));
    const std::optional<QByteArray> onDisk
        = info.isFile() && !info.isSymLink() ? m_files.read(date, kind) : std::nullopt;
    const QString previous = storedDigest(date, kind);
    if (previous == prepared.digest && onDisk && dayDigest(*onDisk) == prepared.digest)
        return { DayImport::Result::Unchanged, date, QStringLiteral("同じ内容の日が登録済み"),
            kind };
    const Replaced old { date, kind, onDisk, m_files.origin(date, kind) };
    // The raw file first: an index row never stands without its file.
    if (!m_files.write(date, prepared.bytes, prepared.fileName, kind))
        return { DayImport::Result::Failed, date, QStringLiteral("日のファイルを書き込めません"),
            kind };
    const auto undo = [&](const QString &reason) {
        putBack({ old });
        return DayImport { DayImport::Result::Failed, date, reason, kind };
    };
    // A day on its own is committed at once: its file reaches the disk first. In a group,
    // commitDays() syncs the group's files together.
    if (!m_writer->inGroup() && !m_files.syncWritten())
        return undo(QStringLiteral("日のファイルをディスクに書き込めません"));
    const DayRecord record { date, prepared.fileName, DayFiles::storedName(date, kind),
        prepared.bytes.size(), prepared.digest };
    if (!replaceRows(record, prepared))
        return undo(writerFailure().error);
    if (m_writer->inGroup())
        m_replaced.append(old);
    return { previous.isEmpty() ? DayImport::Result::Added : DayImport::Result::Replaced, date,
        kind == DayKind::Programme ? QString() : malformedNote(prepared.rows.day), kind };
}

void Library::putBack(const QList<Replaced> &files)
{
    // Newest first, so that a day replaced twice in a group ends as it was before both.
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        if (it->bytes)
            m_files.write(it->date, *it->bytes, it->origin, it->kind);
        else
            m_files.remove(it->date, it->kind);
    }
    m_files.syncWritten();
}

void Library::beginDays()
{
    // When the lock cannot be had now, each day waits for it on its own.
    if (m_groupHeld || !beginWriting().ok())
        return;
    m_groupHeld = true;
    m_replaced.clear();
    m_writer->beginGroup();
}

Status Library::commitDays()
{
    if (!m_groupHeld)
        return {};
    m_groupHeld = false;
    Status status;
    // The group's raw files reach the disk before the rows that name them.
    if (!m_files.syncWritten()) {
        m_writer->rollbackGroup();
        status = { QStringLiteral("日のファイルをディスクに書き込めません"), false };
    } else if (!m_writer->commitGroup()) {
        status = writerFailure();
    }
    // The group's days are not in the index: their files are put back as they were.
    if (!status.ok())
        putBack(m_replaced);
    m_replaced.clear();
    endWriting();
    return status;
}

namespace {

QList<StoredDay> daysOf(const QSqlDatabase &db, const QString &table)
{
    QList<StoredDay> out;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT date, file, venues, races FROM ") + table
            + QStringLiteral(" ORDER BY date DESC")))
        return out;
    while (query.next())
        out.append({ QDate::fromString(query.value(0).toString(), Qt::ISODate),
            query.value(1).toString(), query.value(2).toInt(), query.value(3).toInt() });
    return out;
}

} // namespace

QList<StoredDay> Library::storedDays()
{
    return daysOf(database(), QStringLiteral("days"));
}

QList<StoredDay> Library::storedProgrammeDays()
{
    return daysOf(database(), QStringLiteral("programme_days"));
}

} // namespace rusena::library
