#include "linestore.h"

#include "cp932.h"
#include "resultlayout.h"

#include <algorithm>
#include <cstring>

namespace rusena {

namespace {

const QString EmptyLine;
constexpr qsizetype PieceBytes = 32 * 1024;

// Where the piece of `bytes` starting at `start` ends: just after the first line
// terminator at or past PieceBytes, or at the end of the bytes.
qsizetype pieceEnd(QByteArrayView bytes, qsizetype start)
{
    const qsizetype size = bytes.size();
    if (size - start <= PieceBytes)
        return size;
    const char *const data = bytes.data();
    const qsizetype from = start + PieceBytes - 1;
    const void *cr = std::memchr(data + from, '\r', static_cast<size_t>(size - from));
    if (!cr)
        return size;
    qsizetype end = static_cast<const char *>(cr) - data + 1;
    if (end < size && data[end] == '\n')
        ++end;
    return end;
}

} // namespace

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
        if (layout::isSectionBegin(m_lines[static_cast<size_t>(n)]))
            m_sectionBegins.push_back(n);
    }
}

int LineStore::loadBytes(QByteArrayView bytes)
{
    const int previous = m_count;
    int lines = 0;
    // CR and LF never occur inside a double-byte character (trail bytes start at 0x40),
    // so the day is decoded in pieces that end after a line terminator: one small buffer
    // serves the whole file, and a piece holds enough lines to keep iconv calls few.
    QString decoded;
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    while (start < size && lines < MaxResultLines) {
        const qsizetype end = pieceEnd(bytes, start);
        decodeCp932(bytes.sliced(start, end - start), decoded);
        forEachResultLine(QStringView(decoded), [&](QStringView line) {
            // The entry's buffer from the previous day is reused when large enough.
            if (++lines <= MaxResultLines)
                m_lines[static_cast<size_t>(lines)].setUnicode(line.data(), line.size());
        });
        start = end;
    }
    // Lines past the limit are only counted.
    if (start < size)
        forEachResultLine(bytes.sliced(start), [&](QByteArrayView) { ++lines; });
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
    forEachResultLine(bytes, [&](QByteArrayView line) { lines.push_back(line); });
    return lines;
}

} // namespace rusena
