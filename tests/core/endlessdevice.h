#pragma once

// A sequential device that repeats its pattern for ever, as a link to /dev/zero or a
// runaway pipe would: a reader must stop on its own. It counts what was taken from it.

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

class EndlessDevice final : public QIODevice {
public:
    /// `pattern` is repeated up to 4 KB, so that each read copies a few large blocks.
    explicit EndlessDevice(const QByteArray &pattern)
        : m_pattern(pattern.repeated(std::max<qsizetype>(1, 4096 / pattern.size())))
    {
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return (1LL << 40) + QIODevice::bytesAvailable(); }
    qint64 served() const { return m_served; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 size = m_pattern.size();
        for (qint64 i = 0; i < maxSize;) {
            const qint64 offset = (m_served + i) % size;
            const qint64 count = std::min(size - offset, maxSize - i);
            std::memcpy(data + i, m_pattern.constData() + offset, static_cast<size_t>(count));
            i += count;
        }
        m_served += maxSize;
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_pattern;
    qint64 m_served = 0;
};
