#pragma once

#include "outcome.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace rusena {

/// The stored day held in memory: lines 1..MaxResultLines decoded from code page 932.
class LineStore final {
public:
    static constexpr int MaxResultLines = 8500;

    LineStore();

    /// ResultLines(n); "" for n outside 1..MaxResultLines and for entries past the count.
    const QString &line(int n) const;
    /// ResultLineCount: the number of lines read by the last load.
    int count() const { return m_count; }

    /// Replaces the store with the lines of `bytes` (CR or CR LF terminators; a lone LF
    /// stays in its line). Lines past MaxResultLines are ignored. Returns the number of
    /// lines the bytes hold, which may exceed MaxResultLines.
    int loadBytes(QByteArrayView bytes);

    /// The lines that open a venue section ("nnKBGN..."), ascending. Kept so that a
    /// selection need not walk the whole day to find its section.
    const std::vector<int> &sectionBeginLines() const { return m_sectionBegins; }

    /// Empties the store.
    void clear();

private:
    void indexSections();

    std::vector<QString> m_lines; // index 0 unused
    int m_count = 0;
    std::vector<int> m_sectionBegins;
};

namespace detail {
inline qsizetype findCr(QByteArrayView text, qsizetype from)
{
    return text.indexOf('\r', from);
}
inline qsizetype findCr(QStringView text, qsizetype from)
{
    return text.indexOf(u'\r', from);
}
inline bool isLf(char c)
{
    return c == '\n';
}
inline bool isLf(QChar c)
{
    return c == u'\n';
}
} // namespace detail

/// Calls `take` with each line of raw bytes or decoded text, the way the store reads
/// them: CR or CR LF ends a line, a lone LF stays in it, a last unterminated line counts.
template <typename View, typename Take> void forEachResultLine(View text, Take &&take)
{
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = detail::findCr(text, start);
        if (end < 0)
            end = size;
        take(text.sliced(start, end - start));
        start = end + 1;
        if (end < size && start < size && detail::isLf(text[start]))
            ++start;
    }
}

/// Splits raw file bytes into undecoded lines the way the store reads them.
std::vector<QByteArrayView> splitResultLines(QByteArrayView bytes);

} // namespace rusena
