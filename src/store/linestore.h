#pragma once

#include "result.h"

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

/// Splits raw file bytes into undecoded lines the way the store reads them.
std::vector<QByteArrayView> splitResultLines(QByteArrayView bytes);

} // namespace rusena
