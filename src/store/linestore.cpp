#include "linestore.h"

#include "cp932.h"
#include "resultlayout.h"

#include <QIODevice>

#include <algorithm>

namespace rusena {

namespace {

const QString EmptyLine;
// Files are read, and decoded, in pieces of this size: one small buffer serves a whole day,
// and a piece holds enough lines to keep iconv calls few.
constexpr qsizetype PieceBytes = 32 * 1024;

} // namespace

// The state of one load while its pieces come in.
struct LineStore::Loading {
    explicit Loading(int countBefore)
        : previous(countBefore)
    {
    }

    int previous; // the count before the load
    qsizetype lines = 0; // lines begun so far, counted no further than MaxResultLines + 1
    bool afterCr = false; // the last piece ended with CR: an LF next belongs to it
    QByteArray rest; // the start of a line whose terminator has not come yet
    QString decoded;
};

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

// CR and LF never occur inside a double-byte character (trail bytes start at 0x40), so
// everything up to a piece's last CR is decoded at once; the rest waits for the next piece.
// Returns false once a line past the limit has begun: nothing more need be read.
bool LineStore::take(Loading &loading, QByteArrayView piece)
{
    if (piece.isEmpty())
        return true;
    if (loading.afterCr && piece.front() == '\n')
        piece = piece.sliced(1);
    loading.afterCr = false;
    if (loading.lines == MaxResultLines && (!loading.rest.isEmpty() || !piece.isEmpty()))
        ++loading.lines;
    if (loading.lines > MaxResultLines)
        return false;

    const qsizetype lastCr = piece.lastIndexOf('\r');
    if (lastCr < 0) {
        loading.rest.append(piece);
        return true;
    }
    qsizetype cut = lastCr + 1;
    if (cut == piece.size())
        loading.afterCr = true;
    else if (piece[cut] == '\n')
        ++cut;
    QByteArrayView lines = piece.first(cut);
    if (!loading.rest.isEmpty())
        lines = loading.rest.append(lines);
    decodeCp932(lines, loading.decoded);
    forEachResultLine(QStringView(loading.decoded), [&](QStringView line) {
        // The entry's buffer from the previous day is reused when large enough.
        if (++loading.lines <= MaxResultLines)
            m_lines[static_cast<size_t>(loading.lines)].setUnicode(line.data(), line.size());
    });
    loading.lines = std::min<qsizetype>(loading.lines, MaxResultLines + 1);
    loading.rest.resize(0);
    loading.rest.append(piece.sliced(cut));
    return loading.lines <= MaxResultLines;
}

qsizetype LineStore::finish(Loading &loading)
{
    // An unterminated last line.
    if (!loading.rest.isEmpty() && ++loading.lines <= MaxResultLines) {
        decodeCp932(loading.rest, loading.decoded);
        m_lines[static_cast<size_t>(loading.lines)] = loading.decoded;
    }
    m_count = static_cast<int>(std::min<qsizetype>(loading.lines, MaxResultLines));
    // Entries past the new count still hold the previous day's lines.
    for (int n = m_count + 1; n <= loading.previous; ++n)
        m_lines[static_cast<size_t>(n)].clear();
    indexSections();
    return std::min<qsizetype>(loading.lines, MaxResultLines + 1);
}

qsizetype LineStore::loadBytes(QByteArrayView bytes)
{
    Loading loading(m_count);
    for (qsizetype start = 0; start < bytes.size(); start += PieceBytes) {
        if (!take(loading, bytes.sliced(start, std::min(PieceBytes, bytes.size() - start))))
            break;
    }
    return finish(loading);
}

std::optional<qsizetype> LineStore::load(QIODevice &source)
{
    if (!source.isSequential() && source.size() > MaxDayBytes) {
        clear();
        return std::nullopt;
    }
    Loading loading(m_count);
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 count = source.read(piece.data(), PieceBytes);
        total += std::max<qint64>(count, 0);
        if (count < 0 || total > MaxDayBytes) {
            // Entries up to the lines taken so far hold parts of this load.
            m_count = static_cast<int>(std::min<qsizetype>(
                std::max<qsizetype>(loading.previous, loading.lines), MaxResultLines));
            clear();
            return std::nullopt;
        }
        if (count == 0 && (source.atEnd() || !source.isSequential()))
            break;
        if (!take(loading, QByteArrayView(piece).first(count)))
            break;
    }
    return finish(loading);
}

void LineCounter::add(QByteArrayView piece)
{
    if (piece.isEmpty())
        return;
    qsizetype start = (m_afterCr && piece.front() == '\n') ? 1 : 0;
    m_afterCr = false;
    while (start < piece.size()) {
        const qsizetype cr = piece.indexOf('\r', start);
        if (cr < 0) {
            m_open = true;
            return;
        }
        ++m_terminated;
        m_open = false;
        start = cr + 1;
        if (start == piece.size())
            m_afterCr = true;
        else if (piece[start] == '\n')
            ++start;
    }
}

std::vector<QByteArrayView> splitResultLines(QByteArrayView bytes)
{
    std::vector<QByteArrayView> lines;
    forEachResultLine(bytes, [&](QByteArrayView line) { lines.push_back(line); });
    return lines;
}

} // namespace rusena
