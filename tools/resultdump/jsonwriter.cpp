#include "jsonwriter.h"

#include <cstdio>

namespace rusena::dump {

namespace {

void appendEscaped(QByteArray &out, const QString &text)
{
    out.append('"');
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        default:
            if (byte < 0x20) {
                char escaped[7];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out.append(escaped);
            } else {
                out.append(c);
            }
        }
    }
    out.append('"');
}

} // namespace

void JsonWriter::newLine()
{
    m_out.append('\n');
    m_out.append(QByteArray(static_cast<qsizetype>(m_levels.size()) * 2, ' '));
}

// A value inside a container starts on its own line, after a comma unless it is the first.
void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    if (!m_levels.back().empty)
        m_out.append(',');
    m_levels.back().empty = false;
    newLine();
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    m_out.append(bracket);
    m_levels.push_back({});
}

void JsonWriter::close(char bracket)
{
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty)
        newLine();
    m_out.append(bracket);
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(const QString &name)
{
    beforeValue();
    appendEscaped(m_out, name);
    m_out.append(": ");
    m_afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    beforeValue();
    appendEscaped(m_out, text);
}

void JsonWriter::value(int number)
{
    beforeValue();
    m_out.append(QByteArray::number(number));
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    m_out.append(flag ? "true" : "false");
}

void JsonWriter::null()
{
    beforeValue();
    m_out.append("null");
}

QByteArray JsonWriter::document() const
{
    return m_out + '\n';
}

} // namespace rusena::dump
