#pragma once

#include "dialogs.h"
#include "session/job.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace rusena {

/// Runs the program's long work one job at a time, with a progress dialog whose cancel
/// reaches the job, and says while a job runs so that the windows can wait for it.
class JobRunner final : public QObject {
    Q_OBJECT
public:
    explicit JobRunner(QWidget *dialogParent, QObject *parent = nullptr);
    /// Cancels a running job and waits for its thread.
    ~JobRunner() override;

    /// Starts `work` with a progress dialog labelled `label`. False, and nothing started,
    /// while another job runs.
    bool run(const QString &label, Job::Work work);
    bool isBusy() const { return m_job != nullptr; }
    /// Runs `action` now when no job runs, else once the running job has ended.
    void whenIdle(std::function<void()> action);

Q_SIGNALS:
    /// A job started (true) or ended and its result was handed over (false).
    void busyChanged(bool busy);

private:
    void onProgressed(int done, int total);
    void onFinished();

    QPointer<QWidget> m_dialogParent;
    std::unique_ptr<Job> m_job;
    std::unique_ptr<Dialogs::Progress> m_progress;
    std::function<void()> m_then;
    QList<std::function<void()>> m_waiting;
};

} // namespace rusena
