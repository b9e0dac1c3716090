#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

class QIODevice;

namespace rusena::library {

/// Writes CSV as the library's exports and queries publish it: UTF-8 with a byte-order
/// mark, CR LF line ends, RFC 4180 quoting. Every write is checked: after a failed one,
/// ok() is false and nothing more is written. Rows added a field at a time are written
/// by flush() or once some 64 KB are waiting.
class CsvWriter final {
public:
    /// Writes the byte-order mark and the header row.
    CsvWriter(QIODevice &out, const QStringList &header);
    /// Rows that continue a file another writer began: no mark, no header.
    explicit CsvWriter(QIODevice &out);

    void writeRow(const QStringList &fields);
    /// A row a field at a time, for a bulk export: text goes to UTF-8 straight into the
    /// row, numbers as their digits, with no string made for either.
    void addField(QStringView text);
    void addField(qint64 number);
    void endRow();
    /// The fields of the row under way, as written: a row that repeats them (a race's
    /// columns before each of its payouts) starts with addWritten() instead of encoding
    /// them again.
    QByteArray rowSoFar() const { return m_line.mid(m_rowStart); }
    void addWritten(QByteArrayView fields);
    /// Writes the rows ended so far; false when a write failed.
    bool flush();
    bool ok() const { return m_ok; }

    /// One field as it is written: quoted where it holds a comma, a quote or a line break.
    static QString quoted(const QString &field);

private:
    void write(const QByteArray &bytes);

    void beginField();

    QIODevice &m_out;
    QByteArray m_line;
    qsizetype m_rowStart = 0; ///< where the row under way begins in m_line
    QStringEncoder m_utf8 { QStringEncoder::Utf8 };
    bool m_rowStarted = false;
    bool m_ok = true;
};

} // namespace rusena::library
