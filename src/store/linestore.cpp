#include "linestore.h"

#include "cp932.h"
#include "fields.h"

#include <algorithm>

namespace rusena {

namespace {
const QString EmptyLine;
}

LineStore::LineStore()
    : m_lines(MaxResultLines + 1)
{
}

const QString &LineStore::line(int n) const
{
    if (n < 1 || n > m_count)
        return EmptyLine;
    return m_lines[static_cast<size_t>(n)];
}

void LineStore::clear()
{
    for (int n = 1; n <= m_count; ++n)
        m_lines[static_cast<size_t>(n)].clear();
    m_count = 0;
    m_sectionBegins.clear();
}

void LineStore::indexSections()
{
    m_sectionBegins.clear();
    for (int n = 1; n <= m_count; ++n) {
        if (fields::matchesAt(m_lines[static_cast<size_t>(n)], 3, u"KBGN"))
            m_sectionBegins.push_back(n);
    }
}

int LineStore::loadBytes(QByteArrayView bytes)
{
    // CR never occurs inside a double-byte character (trail bytes start at 0x40), so the
    // whole file can be decoded at once and split afterwards.
    const QString text = decodeCp932(bytes);
    const QChar *const begin = text.constData();
    const qsizetype size = text.size();
    const int previous = m_count;
    int lines = 0;
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && begin[end] != QLatin1Char('\r'))
            ++end;
        ++lines;
        // setUnicode reuses the entry's buffer when the previous day's line left one.
        if (lines <= MaxResultLines)
            m_lines[static_cast<size_t>(lines)].setUnicode(begin + start, end - start);
        start = end + 1;
        if (end < size && start < size && begin[start] == QLatin1Char('\n'))
            ++start;
    }
    m_count = std::min(lines, MaxResultLines);
    // Entries past the new count still hold the previous day's lines.
    for (int n = m_count + 1; n <= previous; ++n)
        m_lines[static_cast<size_t>(n)].clear();
    indexSections();
    return lines;
}

std::vector<QByteArrayView> splitResultLines(QByteArrayView bytes)
{
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r')
            ++end;
        lines.push_back(bytes.sliced(start, end - start));
        start = end + 1;
        if (end < size && start < size && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

} // namespace rusena
