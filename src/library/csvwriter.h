#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace rusena::library {

/// Writes CSV as the library's exports and queries publish it: UTF-8 with a byte-order
/// mark, CR LF line ends, RFC 4180 quoting. Every write is checked: after a failed one,
/// ok() is false and nothing more is written.
class CsvWriter final {
public:
    /// Writes the byte-order mark and the header row.
    CsvWriter(QIODevice &out, const QStringList &header);

    void writeRow(const QStringList &fields);
    /// The same for fields already in UTF-8 (as SQLite hands them out): a bulk export
    /// then never converts its text twice.
    void writeUtf8Row(const QList<QByteArrayView> &fields);
    bool ok() const { return m_ok; }

    /// One field as it is written: quoted where it holds a comma, a quote or a line break.
    static QString quoted(const QString &field);

private:
    void write(const QByteArray &bytes);

    QIODevice &m_out;
    QByteArray m_line;
    bool m_ok = true;
};

} // namespace rusena::library
