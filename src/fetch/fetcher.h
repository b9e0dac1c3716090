#pragma once

// Fetches the archives of a list of dates from the organiser, one request at a time, and
// files each through the library's import. Runs on the thread it lives on, driven by
// that thread's event loop: the tool runs one, the viewer moves a Fetcher to a worker
// thread. Nothing half-downloaded is read: a body goes to a temporary file that the
// import reads only once it arrived whole.

#include "fetchplan.h"
#include "fetchreport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace rusena::library {
class Library;
}

namespace rusena::fetch {

class HeldDays;

struct FetchOptions final {
    QUrl source = QUrl(QString::fromUtf16(DefaultSource));
    QList<Slot> slots;
    bool refresh = false; ///< ask again for days held whole
    double intervalSeconds = 2;
    int timeoutSeconds = 30; ///< without any data
    int retryWaitMs = 2000; ///< before the second try; doubled before the third
};

/// The tries of one archive for an error that may pass (5xx, time-out, broken connection).
inline constexpr int Tries = 3;
/// Redirects followed for one archive.
inline constexpr int MaxRedirects = 5;

class Fetcher final : public QObject {
    Q_OBJECT
public:
    Fetcher(QString dataFolder, FetchOptions options, QObject *parent = nullptr);
    ~Fetcher() override;

    const FetchReport &report() const { return m_report; }

    /// Starts; finished() follows, on this object's thread.
    void start();
    /// Stops after the request under way (and its filing); safe from any thread.
    void cancel();

Q_SIGNALS:
    /// Before each archive: its date and kind, archives done and in all.
    void slotStarted(const QDate &date, int kind, int done, int total);
    void lineAdded(const rusena::fetch::FetchLine &line);
    void finished();

private:
    void next();
    void request(int waitMs);
    void send();
    void onReadyRead();
    void onReplyFinished();
    void retryOrFail(const QString &reason);
    void followRedirect(const QUrl &target);
    void fileArchive();
    void addLine(FetchLine::Result result, const QString &reason = {});
    void finish();
    int waitBeforeNext() const;
    const Slot &current() const { return m_options.slots.at(m_index); }

    QString m_folder;
    FetchOptions m_options;
    int m_intervalMs = 0;
    FetchReport m_report;
    qsizetype m_index = -1;
    std::unique_ptr<library::Library> m_library;
    std::unique_ptr<HeldDays> m_held; ///< as it was when the fetch started
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTemporaryDir m_temp;
    QFile m_body;
    QString m_bodyError; ///< why the body could not be kept, empty while it can
    QTimer m_wait;
    QElapsedTimer m_sinceLast; ///< since the last answer ended
    QUrl m_url;
    int m_try = 0;
    int m_redirects = 0;
    bool m_cancelled = false;
    bool m_done = false;
};

} // namespace rusena::fetch
