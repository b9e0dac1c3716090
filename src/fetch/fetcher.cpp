#include "fetcher.h"

#include "heldday.h"
#include "library/importbatch.h"
#include "library/library.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace rusena::fetch {

namespace {

// No archive of a day comes near this; an answer larger is no archive.
constexpr qint64 MaxArchiveBytes = 64 * 1024 * 1024;

QString userAgent()
{
    const QString name = QCoreApplication::applicationName();
    return (name.isEmpty() ? u"rusena"_s : name) + u'/' + QStringLiteral(RUSENA_VERSION);
}

// An LZH header names its method at bytes 2 to 6, as "-lh5-".
bool looksLikeLzh(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(7);
    return head.size() == 7 && head[2] == '-' && head[3] == 'l' && head[6] == '-';
}

QString networkReason(const QNetworkReply &reply, int timeoutSeconds)
{
    switch (reply.error()) {
    case QNetworkReply::OperationCanceledError: // the transfer time-out aborts this way
    case QNetworkReply::TimeoutError:
        return u"%1 秒間応答がありません"_s.arg(timeoutSeconds);
    case QNetworkReply::ConnectionRefusedError:
        return u"接続を拒否されました"_s;
    case QNetworkReply::RemoteHostClosedError:
        return u"接続が途中で切れました"_s;
    case QNetworkReply::HostNotFoundError:
        return u"ホスト %1 が見つかりません"_s.arg(reply.url().host());
    default:
        break;
    }
    return u"通信エラー（%1）"_s.arg(reply.errorString());
}

FetchLine::Result fromImport(library::DayImport::Result result)
{
    switch (result) {
    case library::DayImport::Result::Added:
        return FetchLine::Result::Added;
    case library::DayImport::Result::Replaced:
        return FetchLine::Result::Replaced;
    case library::DayImport::Result::Unchanged:
        return FetchLine::Result::Unchanged;
    case library::DayImport::Result::Failed:
    case library::DayImport::Result::Ignored:
        break;
    }
    return FetchLine::Result::Failed;
}

} // namespace

Fetcher::Fetcher(QString dataFolder, FetchOptions options, QObject *parent)
    : QObject(parent)
    , m_folder(std::move(dataFolder))
    , m_options(std::move(options))
    , m_intervalMs(requestIntervalMs(m_options.source, m_options.intervalSeconds))
    , m_wait(this)
{
    qRegisterMetaType<FetchLine>();
    m_wait.setSingleShot(true);
    // The interval is a promise to the server: a coarse timer may fire early.
    m_wait.setTimerType(Qt::PreciseTimer);
    connect(&m_wait, &QTimer::timeout, this, &Fetcher::send);
}

Fetcher::~Fetcher() = default;

void Fetcher::start()
{
    m_library = std::make_unique<library::Library>(m_folder);
    if (const library::Status opened = m_library->open(); !opened.ok()) {
        m_report.error = opened.error;
        finish();
        return;
    }
    if (!m_temp.isValid()) {
        m_report.error = u"一時フォルダを作れません"_s;
        finish();
        return;
    }
    m_held = std::make_unique<HeldDays>(*m_library);
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_network = new QNetworkAccessManager(this);
    next();
}

void Fetcher::cancel()
{
    if (thread() != QThread::currentThread()) {
        QMetaObject::invokeMethod(this, &Fetcher::cancel, Qt::QueuedConnection);
        return;
    }
    m_cancelled = true;
    if (!m_reply && m_wait.isActive()) {
        m_wait.stop();
        finish();
    }
}

// The wait before the next request: the interval since the last answer ended.
int Fetcher::waitBeforeNext() const
{
    if (!m_sinceLast.isValid())
        return 0;
    return int(std::max<qint64>(0, m_intervalMs - m_sinceLast.elapsed()));
}

void Fetcher::next()
{
    while (++m_index < m_options.slots.size()) {
        if (m_cancelled)
            break;
        const Slot slot = m_options.slots.at(m_index);
        Q_EMIT slotStarted(slot.date, int(slot.kind), int(m_index), int(m_options.slots.size()));
        if (!m_options.refresh && m_held->held(slot.kind, slot.date) == Held::Complete) {
            ++m_report.held;
            continue;
        }
        m_url = archiveUrl(m_options.source, slot.kind, slot.date);
        m_try = 1;
        m_redirects = 0;
        request(waitBeforeNext());
        return;
    }
    m_report.cancelled = m_cancelled && m_index < m_options.slots.size();
    finish();
}

void Fetcher::request(int waitMs)
{
    m_wait.start(waitMs);
}

void Fetcher::send()
{
    if (m_cancelled) {
        m_report.cancelled = true;
        finish();
        return;
    }
    m_body.close();
    m_body.setFileName(m_temp.filePath(archiveName(current().kind, current().date) + u".part"_s));
    m_bodyError = m_body.open(QIODevice::WriteOnly | QIODevice::Truncate)
        ? QString()
        : u"一時ファイルに書けません"_s;
    QNetworkRequest request(m_url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    // Redirects are checked here: how many, and to which scheme.
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_options.timeoutSeconds * 1000);
    ++m_report.requests;
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &Fetcher::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Fetcher::onReplyFinished);
}

void Fetcher::onReadyRead()
{
    const QByteArray chunk = m_reply->readAll();
    // Only a successful answer's body is kept; an error page is read and dropped.
    if (!m_bodyError.isEmpty()
        || m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        return;
    if (m_body.size() + chunk.size() > MaxArchiveBytes)
        m_bodyError = u"応答が大きすぎます（%1 MiB を超えます）"_s.arg(MaxArchiveBytes >> 20);
    else if (m_body.write(chunk) != chunk.size())
        m_bodyError = u"一時ファイルに書けません"_s;
    if (!m_bodyError.isEmpty())
        m_reply->abort();
}

void Fetcher::onReplyFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    m_sinceLast.start();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.toInt();
    if (!m_bodyError.isEmpty() && code == 200) {
        m_body.close();
        QFile::remove(m_body.fileName());
        addLine(FetchLine::Result::Failed, m_bodyError);
        return next();
    }
    if (!status.isValid())
        return retryOrFail(networkReason(*reply, m_options.timeoutSeconds));
    if (code >= 300 && code < 400) {
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (target.isEmpty()) {
            addLine(FetchLine::Result::Failed, u"転送先のない応答です（HTTP %1）"_s.arg(code));
            return next();
        }
        return followRedirect(reply->url().resolved(target));
    }
    if (code == 404) {
        addLine(FetchLine::Result::NotPublished);
        return next();
    }
    if (code >= 500)
        return retryOrFail(u"サーバーのエラー（HTTP %1）"_s.arg(code));
    if (code != 200) {
        addLine(FetchLine::Result::Failed, u"HTTP %1"_s.arg(code));
        return next();
    }
    if (reply->error() != QNetworkReply::NoError)
        return retryOrFail(networkReason(*reply, m_options.timeoutSeconds));
    m_body.close();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != m_body.size())
        return retryOrFail(u"応答が途中で切れました（%1 / %2 バイト）"_s.arg(m_body.size())
                               .arg(length.toLongLong()));
    fileArchive();
    next();
}

// 5xx, a time-out, a broken connection: tried again after a growing wait, then given up.
void Fetcher::retryOrFail(const QString &reason)
{
    if (m_try >= Tries) {
        addLine(FetchLine::Result::Failed, reason + u"、%1 回試しました"_s.arg(Tries));
        return next();
    }
    const int growing = m_options.retryWaitMs << (m_try - 1);
    ++m_try;
    if (m_cancelled) {
        addLine(FetchLine::Result::Failed, reason);
        m_report.cancelled = true;
        return finish();
    }
    request(std::max(growing, waitBeforeNext()));
}

void Fetcher::followRedirect(const QUrl &target)
{
    if (m_redirects >= MaxRedirects) {
        addLine(FetchLine::Result::Failed, u"転送が %1 回を超えました"_s.arg(MaxRedirects));
        return next();
    }
    if (!target.isValid() || (target.scheme() != u"http" && target.scheme() != u"https")) {
        addLine(FetchLine::Result::Failed,
            u"http, https 以外への転送です（%1）"_s.arg(target.scheme()));
        return next();
    }
    ++m_redirects;
    m_url = target;
    if (m_cancelled) {
        addLine(FetchLine::Result::Failed, u"中止しました"_s);
        m_report.cancelled = true;
        return finish();
    }
    request(waitBeforeNext());
}

// The body arrived whole: it is named as the organiser names it and goes through the
// import, which checks and files each day it holds, or refuses it.
void Fetcher::fileArchive()
{
    const QString part = m_body.fileName();
    const QString path = m_temp.filePath(archiveName(current().kind, current().date));
    if (!looksLikeLzh(part)) {
        QFile::remove(part);
        addLine(FetchLine::Result::Failed, u"LZH 書庫ではない応答です"_s);
        return;
    }
    QFile::remove(path);
    if (!QFile::rename(part, path)) {
        QFile::remove(part);
        addLine(FetchLine::Result::Failed, u"一時ファイルに書けません"_s);
        return;
    }
    const library::BatchReport imported = library::importSources(*m_library, { path });
    QFile::remove(path);
    // A member that is no day (a note beside the days) is passed over, as the import does.
    int days = 0;
    for (const library::ImportLine &line : imported.lines) {
        if (line.outcome.result == library::DayImport::Result::Ignored)
            continue;
        addLine(fromImport(line.outcome.result), line.outcome.reason);
        ++days;
    }
    if (days == 0)
        addLine(FetchLine::Result::Failed, u"書庫に日のファイルがありません"_s);
}

void Fetcher::addLine(FetchLine::Result result, const QString &reason)
{
    FetchLine line { current(), result, reason };
    m_report.lines.append(line);
    Q_EMIT lineAdded(line);
}

void Fetcher::finish()
{
    if (m_done)
        return;
    m_done = true;
    m_body.close();
    // The index connection belongs to this thread: closed here, not where the object dies.
    m_held.reset();
    m_library.reset();
    Q_EMIT finished();
}

} // namespace rusena::fetch
