#pragma once

#include <QByteArray>
#include <QString>

namespace rusena::library {

/// What lets opening the index skip reading all of it: a small file beside the index saying
/// what the index file and the days folder looked like (size, modification and change times)
/// when a process last closed the library in order, or that a process is writing it. An
/// index whose files still look so was closed whole; one changed since (bytes overwritten
/// while nobody had it open), or left "writing" by a process that has died, gets the full
/// check. Only the holder of the write lock changes the stamp.
class IndexStamp final {
public:
    IndexStamp(const QString &dataFolder, QString indexPath);

    /// The stamp as it is now; empty when there is none.
    QByteArray read() const;
    /// True when `stamp` says the files are as an orderly close left them, or that a
    /// process still running is writing them (its writes are SQLite's to keep whole).
    bool trusts(const QByteArray &stamp) const;
    /// Says that this process is writing; returns the stamp written (empty on failure).
    QByteArray markWriting();
    /// Records the files as they are now, after an orderly close. False on failure.
    bool markClosed();

private:
    QByteArray currentLook() const;
    bool write(const QByteArray &stamp);

    QString m_path;
    QString m_indexPath;
    QString m_daysPath;
};

} // namespace rusena::library
