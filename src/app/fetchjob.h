#pragma once

#include "fetch/fetcher.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

class QWidget;

namespace rusena {

/// A fetch on a worker thread of its own, with a progress dialog that names the date and
/// kind under way and the archives left, and a cancel button that stops the fetch after
/// the request under way. The GUI thread never waits for the network: it only receives
/// the worker's signals.
class FetchJob final : public QObject {
    Q_OBJECT
public:
    FetchJob(const QString &dataFolder, fetch::FetchOptions options, QWidget *parent);
    ~FetchJob() override;

    void start();
    QProgressDialog *progressDialog() const { return m_progress; }

Q_SIGNALS:
    /// The fetch ended (done, cancelled or failed); the job may be deleted now.
    void finished(const rusena::fetch::FetchReport &report);

private:
    void onSlotStarted(const QDate &date, int kind, int done, int total);
    void onCancel();
    void onFetcherFinished();

    QThread m_thread;
    fetch::Fetcher *m_fetcher = nullptr;
    QPointer<QProgressDialog> m_progress;
    QString m_source;
};

} // namespace rusena
