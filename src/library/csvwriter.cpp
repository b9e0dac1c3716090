#include "csvwriter.h"

#include "library/digits.h"

#include <QIODevice>

namespace rusena::library {

CsvWriter::CsvWriter(QIODevice &out, const QStringList &header)
    : m_out(out)
{
    write(QByteArrayLiteral("\xEF\xBB\xBF"));
    writeRow(header);
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

void CsvWriter::endRow()
{
    m_line += "\r\n";
    m_rowStarted = false;
    // Written in pieces of some 64 KB, not a row at a time.
    if (m_line.size() >= 65536)
        flush();
}

bool CsvWriter::flush()
{
    if (!m_line.isEmpty())
        write(m_line);
    m_line.clear();
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
