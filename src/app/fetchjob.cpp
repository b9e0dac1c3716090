#include "fetchjob.h"

#include <QLocale>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace rusena {

FetchJob::FetchJob(const QString &dataFolder, fetch::FetchOptions options, QWidget *parent)
    : QObject(parent)
    , m_source(options.source.toString())
{
    const int total = int(options.slots.size());
    m_fetcher = new fetch::Fetcher(dataFolder, std::move(options));
    m_fetcher->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, m_fetcher, &fetch::Fetcher::start);
    connect(m_fetcher, &fetch::Fetcher::slotStarted, this, &FetchJob::onSlotStarted);
    connect(m_fetcher, &fetch::Fetcher::finished, this, &FetchJob::onFetcherFinished);

    m_progress = new QProgressDialog(parent);
    m_progress->setObjectName(u"fetchprogress"_s);
    m_progress->setWindowTitle(u"最新データを取得"_s);
    m_progress->setLabelText(u"取得元: %1\n接続しています..."_s.arg(m_source));
    m_progress->setCancelButtonText(u"キャンセル"_s);
    m_progress->setRange(0, total);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, &FetchJob::onCancel);
}

FetchJob::~FetchJob()
{
    if (m_thread.isRunning()) {
        m_fetcher->cancel();
        m_thread.quit();
        m_thread.wait();
    }
    delete m_fetcher;
    delete m_progress;
}

void FetchJob::start()
{
    m_progress->show();
    m_thread.start();
}

void FetchJob::onSlotStarted(const QDate &date, int kind, int done, int total)
{
    if (!m_progress || m_progress->wasCanceled())
        return;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    m_progress->setLabelText(u"取得元: %1\n%2 の%3（残り %4 件）"_s
                                 .arg(m_source, japanese.toString(date, u"yyyy/MM/dd (ddd)"_s),
                                     fetch::kindName(fetch::Kind(kind)))
                                 .arg(total - done));
    m_progress->setValue(done);
}

void FetchJob::onCancel()
{
    m_progress->show(); // stays up, saying so, until the request under way has ended
    m_progress->setLabelText(u"取得元: %1\n中止しています..."_s.arg(m_source));
    m_fetcher->cancel();
}

void FetchJob::onFetcherFinished()
{
    m_thread.quit();
    m_thread.wait(); // the worker has nothing left to do: this returns at once
    if (m_progress)
        m_progress->hide();
    Q_EMIT finished(m_fetcher->report());
}

} // namespace rusena
