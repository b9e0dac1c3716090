// App's side of fetching from the organiser: ファイル > 最新データを取得 with the default
// period, ファイル > 期間を指定して取得 with a period asked first. The fetch runs as a
// FetchJob on a worker thread; its end shows the summary and the latest result day.

#include "app.h"

#include "daypicker.h"
#include "dialogs.h"
#include "fetch/heldday.h"
#include "fetchdialog.h"
#include "fetchjob.h"
#include "mainwindow.h"

#include <QAction>
#include <QSettings>

#include <utility>

using namespace Qt::StringLiterals;

namespace rusena {

namespace {

const QString SourceKey = u"fetch/source"_s;

QUrl fetchSource()
{
    return QUrl(QSettings().value(SourceKey, QString::fromUtf16(fetch::DefaultSource)).toString());
}

Message nothingToFetch()
{
    return { u"最新データを取得"_s, u"取得する日はありません。ライブラリは最新です。"_s,
        MessageIcon::Information, MessageButtons::Ok };
}

} // namespace

void App::connectFetch()
{
    connect(m_libraryActions.fetchLatest, &QAction::triggered, this, &App::onFetchLatest);
    connect(m_libraryActions.fetchPeriod, &QAction::triggered, this, &App::onFetchPeriod);
}

FetchJob *App::fetchJob() const
{
    return m_fetch;
}

FetchDialog *App::fetchDialog() const
{
    return m_fetchDialog;
}

void App::onFetchLatest()
{
    withLibrary([this] {
        fetch::FetchOptions options;
        options.source = fetchSource();
        options.slots = fetch::HeldDays(m_session.library())
                            .plan(std::nullopt, std::nullopt, true, true, fetch::japanToday());
        startFetch(std::move(options));
    });
}

void App::onFetchPeriod()
{
    if (m_fetchDialog) {
        m_fetchDialog->activateWindow();
        return;
    }
    withLibrary([this] { askFetchPeriod(); });
}

void App::askFetchPeriod()
{
    if (m_fetchDialog || m_fetch)
        return;
    const QUrl source = fetchSource();
    const QDate today = fetch::japanToday();
    const fetch::FetchOptions defaults;
    m_fetchDialog = new FetchDialog(
        fetch::HeldDays(m_session.library()).defaultFrom(fetch::Kind::Results, today), today,
        source.toString(), fetch::requestIntervalMs(source, defaults.intervalSeconds), m_main);
    m_fetchDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_fetchDialog, &QDialog::accepted, this, [this] {
        fetch::FetchOptions options;
        options.source = QUrl(m_fetchDialog->source());
        QSettings().setValue(SourceKey, options.source.toString());
        options.slots
            = fetch::HeldDays(m_session.library())
                  .plan(m_fetchDialog->from(), m_fetchDialog->to(), m_fetchDialog->results(),
                      m_fetchDialog->programmes(), fetch::japanToday());
        startFetch(std::move(options));
    });
    m_fetchDialog->open();
}

void App::startFetch(fetch::FetchOptions options)
{
    if (m_fetch)
        return;
    if (options.slots.isEmpty()) {
        show(nothingToFetch(), m_main);
        return;
    }
    const qint64 span = fetch::spanDays(options.slots);
    if (span > fetch::ConfirmDays) {
        const int intervalMs = fetch::requestIntervalMs(options.source, options.intervalSeconds);
        const Message confirm { u"最新データを取得"_s,
            u"%1 日分、要求 %2 件です。間隔 %3 秒で%4かかります。取得しますか？"_s.arg(span)
                .arg(options.slots.size())
                .arg(intervalMs / 1000.0)
                .arg(fetch::durationText(options.slots.size(), intervalMs)),
            MessageIcon::Information, MessageButtons::OkCancel };
        if (Dialogs::message(m_main, confirm) != Dialogs::Button::Ok)
            return;
    }
    if (deferWhileBusy([this, options] { startFetch(options); }))
        return;
    // The fetch files days through a library of its own on its thread: the session's
    // connection is closed meanwhile, and the library's commands wait, as for a job.
    m_session.releaseLibrary();
    m_fetch = new FetchJob(m_session.folder().data, std::move(options), m_main);
    connect(m_fetch, &FetchJob::finished, this, &App::onFetchFinished);
    onLibraryBusy(true);
    m_fetch->start();
}

void App::onFetchFinished(const fetch::FetchReport &report)
{
    FetchJob *job = m_fetch;
    m_fetch = nullptr;
    job->deleteLater();
    onLibraryBusy(false);
    const Outcome outcome = m_session.finishFetch(report);
    render();
    show(outcome.message, m_main);
    if (m_dayPicker && m_dayPicker->isVisible())
        m_dayPicker->setDays(m_session.library().storedDays(), m_session.dayOnShow());
    const QList<std::function<void()>> waiting = std::exchange(m_afterFetch, {});
    for (const std::function<void()> &action : waiting)
        action();
}

} // namespace rusena
