#pragma once

#include "library.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace rusena::library {

/// What one source of a batch gives: a text file's day or an archive's day members, each
/// prepared, or why the source gives none.
struct SourceDays final {
    QString path; ///< the source as given
    bool archive = false;
    QList<PreparedDay> days;
    QStringList ignored; ///< members of an archive that are no day file
    QString error;
};

/// True for a name ending in .lzh (any case).
bool isArchiveName(const QString &fileName);

/// Reads a day file (a result or a programme) or an LZH archive.
SourceDays readSource(const QString &path);

/// Reads the sources of a batch on two threads of their own, a couple of sources ahead of
/// the caller, and hands them out in the order given: decoding, parsing and hashing days
/// overlap with storing the one before, and reading (the larger half of a day's work) is
/// shared between two cores.
class SourceQueue final {
public:
    explicit SourceQueue(QStringList sources);
    /// Stops reading ahead and waits for the sources under way.
    ~SourceQueue();
    SourceQueue(const SourceQueue &) = delete;
    SourceQueue &operator=(const SourceQueue &) = delete;

    /// The next source's days, in the order given; waits until they are ready. Nullopt
    /// once every source has been handed out.
    std::optional<SourceDays> next();
    /// Hands a source's days back once they are stored, in the order next() gave them, to
    /// be freed on the reading thread that made them while it still reads: freeing
    /// another thread's memory takes its allocator's lock, which the reader keeps busy,
    /// and cost a batch a tenth of its time. What comes back after the readers have
    /// finished is freed with the queue.
    void recycle(SourceDays &&days);

private:
    static constexpr int Readers = 2;
    // Sources read but not taken yet: enough to keep the readers busy while a day is
    // stored, few enough that a batch of archives never piles up in memory.
    static constexpr qsizetype Ahead = 3;

    void readEvery(int first);

    const QStringList m_sources;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<qsizetype, SourceDays> m_ready; ///< by index in m_sources
    std::array<std::vector<SourceDays>, Readers> m_spent;
    qsizetype m_handedOut = 0;
    qsizetype m_recycled = 0;
    bool m_stop = false;
    std::array<std::thread, Readers> m_readers; ///< started once every member above is made
};

} // namespace rusena::library
