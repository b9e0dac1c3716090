#pragma once

#include "outcome.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace rusena {

/// The stored day held in memory: lines 1..MaxResultLines decoded from code page 932.
class LineStore final {
public:
    static constexpr int MaxResultLines = 8500;
    /// No day comes near this size (the largest real one is under 300 KB): a larger file
    /// is not a day, and is refused before it is read.
    static constexpr qint64 MaxDayBytes = 16 * 1024 * 1024;

    LineStore();

    /// ResultLines(n); "" for n outside 1..MaxResultLines and for entries past the count.
    const QString &line(int n) const;
    /// ResultLineCount: the number of lines read by the last load.
    int count() const { return m_count; }

    /// Replaces the store with the lines of `bytes` (CR or CR LF terminators; a lone LF
    /// stays in its line). Lines past MaxResultLines are ignored. Returns the number of
    /// lines the bytes hold, counted no further than MaxResultLines + 1.
    qsizetype loadBytes(QByteArrayView bytes);

    /// The same, read from an open device in bounded pieces; reading stops once a line past
    /// MaxResultLines begins. Nothing (and an empty store) when a read fails or the device
    /// holds more than MaxDayBytes before that point.
    std::optional<qsizetype> load(QIODevice &source);

    /// The lines that open a venue section ("nnKBGN..."), ascending. Kept so that a
    /// selection need not walk the whole day to find its section.
    const std::vector<int> &sectionBeginLines() const { return m_sectionBegins; }

    /// Empties the store.
    void clear();

private:
    struct Loading;
    bool take(Loading &loading, QByteArrayView piece);
    qsizetype finish(Loading &loading);
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

/// Counts lines the way the store reads them, one piece of the bytes at a time.
class LineCounter final {
public:
    void add(QByteArrayView piece);
    qsizetype count() const { return m_terminated + (m_open ? 1 : 0); }

private:
    qsizetype m_terminated = 0;
    bool m_open = false; // bytes of a line not terminated yet
    bool m_afterCr = false; // the last piece ended with CR: an LF next belongs to it
};

/// Splits raw file bytes into undecoded lines the way the store reads them.
std::vector<QByteArrayView> splitResultLines(QByteArrayView bytes);

} // namespace rusena
