#pragma once

// A read-only device that delivers the first N bytes of its content and then fails, as a
// file on a dying disk or a network share that drops out part-way through a copy does.

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

class FailDevice final : public QIODevice {
public:
    FailDevice(QByteArray content, qint64 failAfter)
        : m_content(std::move(content))
        , m_failAfter(failAfter)
    {
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return std::max<qint64>(m_failAfter - m_position, 0) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_position >= m_failAfter) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 count = std::min(
            { maxSize, m_failAfter - m_position, qint64(m_content.size()) - m_position });
        std::copy_n(m_content.constData() + m_position, count, data);
        m_position += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_content;
    qint64 m_failAfter;
    qint64 m_position = 0;
};
