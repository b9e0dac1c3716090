#pragma once

// Small LZH archives written byte by byte, for tests: stored members (method -lh0-) with
// level-0 headers and their checksums. Lets a test make archives no tool would, such as
// a member whose name climbs out of the folder or whose header claims 200 MB.

#include <QByteArray>
#include <QList>

#include <cstdint>

struct LzhMember {
    QByteArray name;
    QByteArray data;
    qint64 declaredSize = -1; ///< the size the header claims; -1 for the data's own
};

inline quint16 lzhCrc16(const QByteArray &data)
{
    quint16 crc = 0;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

inline void appendLe(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

inline QByteArray lzhArchive(const QList<LzhMember> &members)
{
    QByteArray out;
    for (const LzhMember &m : members) {
        const quint64 size = m.declaredSize >= 0 ? quint64(m.declaredSize) : quint64(m.data.size());
        QByteArray header = QByteArrayLiteral("-lh0-");
        appendLe(header, size, 4); // packed size
        appendLe(header, size, 4); // original size
        appendLe(header, 0x50210000, 4); // DOS time stamp, 2020-01-01
        header.append(char(0x20)); // attribute: archive
        header.append(char(0)); // header level 0
        header.append(char(m.name.size()));
        header.append(m.name);
        appendLe(header, lzhCrc16(m.data), 2);
        quint8 sum = 0;
        for (const char c : header)
            sum = quint8(sum + quint8(c));
        out.append(char(header.size()));
        out.append(char(sum));
        out.append(header);
        out.append(m.data);
    }
    out.append(char(0)); // end of archive
    return out;
}
