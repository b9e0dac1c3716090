#include "csvwriter.h"

#include "library/digits.h"

#include <QIODevice>

namespace rusena::library {

namespace {

// Rows are written in pieces of some 64 KB, not a row at a time.
constexpr qsizetype FlushBytes = 65536;

} // namespace

CsvWriter::CsvWriter(QIODevice &out, const QStringList &header)
    : CsvWriter(out)
{
    write(QByteArrayLiteral("\xEF\xBB\xBF"));
    writeRow(header);
}

CsvWriter::CsvWriter(QIODevice &out)
    : m_out(out)
{
    m_line.reserve(FlushBytes + 4096);
}

void CsvWriter::writeRow(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += quoted(fields[i]);
    }
    line += u"\r\n";
    flush();
    write(line.toUtf8());
}

namespace {

bool needsQuotes(QStringView field)
{
    // One pass over the field: an export writes half a million rows of short fields.
    for (const QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

} // namespace

void CsvWriter::beginField()
{
    if (m_rowStarted)
        m_line += ',';
    m_rowStarted = true;
}

void CsvWriter::addField(QStringView text)
{
    beginField();
    if (needsQuotes(text)) {
        const QString quotedText = quoted(text.toString());
        text = quotedText;
        m_line += m_utf8.encode(text);
        return;
    }
    const qsizetype size = m_line.size();
    m_line.resize(size + m_utf8.requiredSpace(text.size()));
    char *end = m_utf8.appendToBuffer(m_line.data() + size, text);
    m_line.resize(end - m_line.constData());
}

void CsvWriter::addField(qint64 number)
{
    beginField();
    char digits[24];
    char *end = digits + sizeof digits;
    char *begin = digitsBefore(end, number < 0 ? 0 - quint64(number) : quint64(number));
    if (number < 0)
        *--begin = '-';
    m_line.append(begin, end - begin);
}

void CsvWriter::addWritten(QByteArrayView fields)
{
    beginField();
    m_line.append(fields);
}

void CsvWriter::endRow()
{
    m_line += "\r\n";
    m_rowStarted = false;
    if (m_line.size() >= FlushBytes)
        flush();
    m_rowStart = m_line.size();
}

bool CsvWriter::flush()
{
    if (!m_line.isEmpty())
        write(m_line);
    // Emptied, not freed: the next rows go into the same buffer.
    m_line.resize(0);
    m_rowStart = 0;
    return m_ok;
}

QString CsvWriter::quoted(const QString &field)
{
    const bool needsQuotes = field.contains(u',') || field.contains(u'"') || field.contains(u'\r')
        || field.contains(u'\n');
    if (!needsQuotes)
        return field;
    QString text = field;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

void CsvWriter::write(const QByteArray &bytes)
{
    if (m_ok && m_out.write(bytes) != bytes.size())
        m_ok = false;
}

} // namespace rusena::library
