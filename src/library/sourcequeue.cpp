#include "sourcequeue.h"

#include "archivereader.h"
#include "daykind.h"
#include "store/regularfile.h"
#include "store/resultimport.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace rusena::library {

namespace {

// A text file's bytes, refused before reading when it is larger than any day can be.
std::optional<QByteArray> readTextFile(const QString &path, QString &error)
{
    // A regular file only: a FIFO or a device named K... would block or never end.
    QFile file(path);
    if (!openRegularFile(file)) {
        error = QStringLiteral("ファイルを読めません");
        return std::nullopt;
    }
    if (file.size() > MaxDayBytes) {
        error = QStringLiteral("ファイルが大きすぎます");
        return std::nullopt;
    }
    QByteArray bytes = readAtMost(file, MaxDayBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxDayBytes) {
        error = QStringLiteral("ファイルを読めません");
        return std::nullopt;
    }
    return bytes;
}

SourceDays readArchiveSource(const QString &path)
{
    SourceDays source { path, true, {}, {}, {} };
    ArchiveContents contents = readArchive(path);
    source.error = contents.error;
    source.ignored = contents.ignored;
    for (ArchiveMember &member : contents.members)
        source.days.append(prepareDay(member.name, std::move(member.bytes)));
    return source;
}

SourceDays readTextSource(const QString &path)
{
    SourceDays source;
    source.path = path;
    const QString name = QFileInfo(path).fileName();
    std::optional<QByteArray> bytes = readTextFile(path, source.error);
    if (!bytes)
        return source;
    // A file named neither K... nor B... is a day when its text says which kind it is.
    if (!kindOfDay(name, *bytes)) {
        source.error = QStringLiteral("名前が K でも B でも始まらず、成績でも番組表でもありません");
        return source;
    }
    source.days.append(prepareDay(name, std::move(*bytes)));
    return source;
}

} // namespace

bool isArchiveName(const QString &fileName)
{
    return fileName.endsWith(QStringLiteral(".lzh"), Qt::CaseInsensitive);
}

SourceDays readSource(const QString &path)
{
    // Said first: a missing path is neither a badly named file nor a broken archive.
    if (!QFileInfo::exists(path)) {
        SourceDays missing;
        missing.path = path;
        missing.error = QStringLiteral("ファイルもフォルダもありません");
        return missing;
    }
    return isArchiveName(path) ? readArchiveSource(path) : readTextSource(path);
}

SourceQueue::SourceQueue(QStringList sources)
    : m_sources(std::move(sources))
{
    for (int i = 0; i < Readers; ++i)
        m_readers[size_t(i)] = std::thread([this, i] { readEvery(i); });
}

SourceQueue::~SourceQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread &reader : m_readers)
        reader.join();
}

// Reads the sources first, first + Readers, ...
void SourceQueue::readEvery(int first)
{
    std::vector<SourceDays> spent;
    for (qsizetype i = first; i < m_sources.size(); i += Readers) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || i < m_handedOut + Ahead; });
            if (m_stop)
                return;
            spent.swap(m_spent[size_t(first)]);
        }
        spent.clear();
        SourceDays source = readSource(m_sources.at(i));
        {
            const std::lock_guard lock(m_mutex);
            m_ready.emplace(i, std::move(source));
        }
        m_changed.notify_all();
    }
}

void SourceQueue::recycle(SourceDays &&days)
{
    const std::lock_guard lock(m_mutex);
    m_spent[size_t(m_recycled++ % Readers)].push_back(std::move(days));
}

std::optional<SourceDays> SourceQueue::next()
{
    std::unique_lock lock(m_mutex);
    if (m_handedOut == m_sources.size())
        return std::nullopt;
    const qsizetype index = m_handedOut++;
    m_changed.notify_all(); // a reader waiting for room may go on
    m_changed.wait(lock, [&] { return m_ready.contains(index); });
    const auto it = m_ready.find(index);
    SourceDays source = std::move(it->second);
    m_ready.erase(it);
    lock.unlock();
    m_changed.notify_all();
    return source;
}

} // namespace rusena::library
