#include "job.h"

#include <QThread>

namespace rusena {

bool JobControl::advance(int done, int total)
{
    if (m_stepLimit >= 0 && ++m_steps > m_stepLimit)
        m_cancelled = true;
    if (m_job)
        Q_EMIT m_job->progressed(done, total); // queued: the owner lives on another thread
    return !cancelled();
}

Job::Job(Work work, QObject *parent)
    : QObject(parent)
    , m_work(std::move(work))
{
    m_control.m_job = this;
}

Job::~Job()
{
    cancel();
    if (m_thread)
        m_thread->wait();
}

void Job::start()
{
    if (m_running || m_thread)
        return;
    m_running = true;
    m_thread.reset(QThread::create([this] { m_then = m_work(m_control); }));
    connect(m_thread.get(), &QThread::finished, this, &Job::onThreadFinished);
    m_thread->start();
}

void Job::cancel()
{
    m_control.m_cancelled = true;
}

void Job::onThreadFinished()
{
    // The thread has ended: what the work left in m_then is safe to use here.
    m_running = false;
    if (const std::function<void()> then = std::exchange(m_then, {}))
        then();
    Q_EMIT finished();
}

} // namespace rusena
