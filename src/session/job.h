#pragma once

// Long work (a batch import, a rebuild, a check, a fetch) runs as a Job on a thread of its
// own. The thread that started it hears of it through signals only: it never waits for
// the work and never pumps events while it runs, so its windows stay responsive.

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace rusena {

/// What the work sees of its job: where to report progress and whether to stop.
class JobControl final {
public:
    /// Reports `done` of `total` to the job's owner; false once the job is cancelled.
    bool advance(int done, int total);
    bool cancelled() const { return m_cancelled.load(); }

private:
    friend class Job;
    class Job *m_job = nullptr;
    std::atomic<bool> m_cancelled { false };
    int m_steps = 0;
    int m_stepLimit = -1;
};

class Job final : public QObject {
    Q_OBJECT
public:
    /// Runs on the job's thread. What it returns runs on the owner's thread once the
    /// work has ended: that is where results reach the program's state.
    using Work = std::function<std::function<void()>(JobControl &)>;

    explicit Job(Work work, QObject *parent = nullptr);
    /// Cancels the work and waits for its thread: the work never outlives its job.
    ~Job() override;

    void start();
    /// Asks the work to stop at its next step; `finished` still follows.
    void cancel();
    bool isRunning() const { return m_running; }
    /// Makes the work's step `steps + 1` see a cancel, as a user's cancel would have
    /// reached it (tests need the cancel at a known step).
    void cancelAfter(int steps) { m_control.m_stepLimit = steps; }

Q_SIGNALS:
    /// The work reported progress (delivered on the owner's thread).
    void progressed(int done, int total);
    /// The work has ended and its result has been handed over.
    void finished();

private:
    void onThreadFinished();

    Work m_work;
    std::function<void()> m_then;
    JobControl m_control;
    std::unique_ptr<QThread> m_thread;
    bool m_running = false;
};

} // namespace rusena
