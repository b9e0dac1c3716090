#include "jobrunner.h"

namespace rusena {

JobRunner::JobRunner(QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_dialogParent(dialogParent)
{
}

JobRunner::~JobRunner()
{
    // The job's destructor cancels it and waits for its thread; its result is dropped.
    m_job.reset();
}

bool JobRunner::run(const QString &label, Job::Work work)
{
    if (m_job)
        return false;
    // The work's result is handed over by onFinished, once the runner is idle again, so
    // that it may start the next job.
    m_job = std::make_unique<Job>([this, work = std::move(work)](JobControl &control) {
        std::function<void()> then = work(control);
        return std::function<void()>([this, then] { m_then = then; });
    });
    m_job->cancelAfter(Dialogs::Progress::stepsBeforeCancel());
    m_progress = std::make_unique<Dialogs::Progress>(m_dialogParent, label);
    connect(m_job.get(), &Job::progressed, this, &JobRunner::onProgressed);
    connect(m_job.get(), &Job::finished, this, &JobRunner::onFinished);
    Q_EMIT busyChanged(true);
    m_job->start();
    return true;
}

void JobRunner::whenIdle(std::function<void()> action)
{
    if (!m_job)
        action();
    else
        m_waiting.append(std::move(action));
}

void JobRunner::onProgressed(int done, int total)
{
    if (m_progress && !m_progress->advance(done, total) && m_job)
        m_job->cancel();
}

void JobRunner::onFinished()
{
    // The job object goes once its signal has returned.
    m_progress.reset();
    m_job.release()->deleteLater();
    Q_EMIT busyChanged(false);
    if (const std::function<void()> then = std::exchange(m_then, {}))
        then();
    const QList<std::function<void()>> waiting = std::exchange(m_waiting, {});
    for (const std::function<void()> &action : waiting)
        whenIdle(action);
}

} // namespace rusena
