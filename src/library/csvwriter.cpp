#include "csvwriter.h"

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
    write(line.toUtf8());
}

namespace {

bool needsQuotes(QByteArrayView field)
{
    // One pass over the field: an export writes half a million rows of short fields.
    for (const char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

void appendQuoted(QByteArray &line, QByteArrayView field)
{
    line += '"';
    for (const char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

} // namespace

void CsvWriter::writeUtf8Row(const QList<QByteArrayView> &fields)
{
    m_line.clear();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            m_line += ',';
        if (needsQuotes(fields[i]))
            appendQuoted(m_line, fields[i]);
        else
            m_line.append(fields[i].data(), fields[i].size());
    }
    m_line += "\r\n";
    write(m_line);
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
