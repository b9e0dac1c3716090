#include "archivereader.h"

#include "daykind.h"
#include "store/regularfile.h"
#include "store/resultimport.h"

#include <QFile>
#include <QIODevice>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <locale.h>
#endif

namespace rusena::library {

namespace {

struct ArchiveCloser {
    void operator()(archive *a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

QString tooLarge(const QString &name)
{
    return QStringLiteral("%1 が大きすぎます（上限 %2 MiB）").arg(name).arg(MaxDayBytes >> 20);
}

QString archiveTooLarge()
{
    return QStringLiteral("書庫の日のファイルが合わせて大きすぎます（上限 %1 MiB）")
        .arg(MaxArchiveDayBytes >> 20);
}

#ifdef Q_OS_UNIX
// The organiser's archives name their members in code page 932. libarchive converts names
// into the character set of the C library's locale, and cannot under "C" (as under cron):
// it then stops reading. While an archive is read, this thread's locale is C.UTF-8, so that
// the names always arrive as UTF-8, whatever the process's locale.
class Utf8Names final {
public:
    Utf8Names()
    {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        if (utf8)
            m_previous = uselocale(utf8);
    }
    ~Utf8Names()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    Utf8Names(const Utf8Names &) = delete;
    Utf8Names &operator=(const Utf8Names &) = delete;

private:
    locale_t m_previous = locale_t(nullptr);
};
#else
// Elsewhere libarchive converts names through wide characters, whatever the locale.
struct Utf8Names final { };
#endif

// The member's bytes, read in chunks so that a member larger than `room` is refused
// before it fills memory, whatever its header claims.
bool readMember(archive *a, const QString &name, qint64 room, QByteArray &bytes, QString &error)
{
    char chunk[64 * 1024];
    for (;;) {
        const la_ssize_t count = archive_read_data(a, chunk, sizeof chunk);
        if (count == 0)
            return true;
        if (count < 0) {
            error = QStringLiteral("書庫が壊れています（%1）").arg(name);
            return false;
        }
        if (bytes.size() + count > room) {
            error = room < MaxDayBytes ? archiveTooLarge() : tooLarge(name);
            return false;
        }
        bytes.append(chunk, count);
    }
}

// libarchive reads the device through these, a chunk at a time.
struct DeviceSource final {
    QIODevice &device;
    char chunk[64 * 1024];
};

la_ssize_t readDevice(archive *, void *data, const void **buffer)
{
    auto *source = static_cast<DeviceSource *>(data);
    *buffer = source->chunk;
    return source->device.read(source->chunk, sizeof source->chunk);
}

ArchivePtr openArchive(DeviceSource &source)
{
    ArchivePtr a(archive_read_new());
    archive_read_support_format_lha(a.get());
    archive_read_support_filter_none(a.get());
    archive_read_set_options(a.get(), "hdrcharset=CP932");
    if (archive_read_open(a.get(), &source, nullptr, &readDevice, nullptr) != ARCHIVE_OK)
        return nullptr;
    return a;
}

QString memberName(archive_entry *entry)
{
    const char *utf8 = archive_entry_pathname_utf8(entry);
    return baseNameOf(QString::fromUtf8(utf8 ? utf8 : ""));
}

} // namespace

QString baseNameOf(const QString &memberName)
{
    const qsizetype slash = std::max(memberName.lastIndexOf(u'/'), memberName.lastIndexOf(u'\\'));
    return memberName.mid(slash + 1);
}

ArchiveContents readArchive(const QString &path)
{
    QFile file(path);
    if (!openRegularFile(file))
        return { {}, {}, QStringLiteral("ファイルを読めません") };
    return readArchive(file);
}

ArchiveContents readArchive(QIODevice &device)
{
    const Utf8Names utf8;
    ArchiveContents contents;
    DeviceSource source { device, {} };
    const ArchivePtr a = openArchive(source);
    if (!a)
        return { {}, {}, QStringLiteral("LZH 書庫として読めません") };
    archive_entry *entry = nullptr;
    int status = ARCHIVE_OK;
    qint64 total = 0;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const QString name = memberName(entry);
        if (!kindOfFileName(name)) {
            contents.ignored.append(name);
            continue;
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > MaxDayBytes)
            return { {}, {}, tooLarge(name) };
        ArchiveMember member { name, {} };
        QString error;
        if (!readMember(a.get(), name, std::min(MaxDayBytes, MaxArchiveDayBytes - total),
                member.bytes, error))
            return { {}, {}, error };
        total += member.bytes.size();
        contents.members.append(std::move(member));
    }
    if (status != ARCHIVE_EOF)
        return { {}, {}, QStringLiteral("書庫が壊れています") };
    if (contents.members.isEmpty())
        return { {}, {}, QStringLiteral("B で始まるファイルも K で始まるファイルもありません") };
    return contents;
}

} // namespace rusena::library
