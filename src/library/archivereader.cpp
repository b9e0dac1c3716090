#include "archivereader.h"

#include "store/cp932.h"
#include "store/resultimport.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

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

// The member's bytes, read in chunks so that a member larger than the limit is refused
// before it fills memory, whatever its header claims.
bool readMember(archive *a, const QString &name, QByteArray &bytes, QString &error)
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
        if (bytes.size() + count > MaxDayBytes) {
            error = tooLarge(name);
            return false;
        }
        bytes.append(chunk, count);
    }
}

ArchivePtr openArchive(const QString &path)
{
    ArchivePtr a(archive_read_new());
    archive_read_support_format_lha(a.get());
    archive_read_support_filter_none(a.get());
    if (archive_read_open_filename(a.get(), QFile::encodeName(path).constData(), 64 * 1024)
        != ARCHIVE_OK)
        return nullptr;
    return a;
}

} // namespace

QString baseNameOf(const QString &memberName)
{
    const qsizetype slash = std::max(memberName.lastIndexOf(u'/'), memberName.lastIndexOf(u'\\'));
    return memberName.mid(slash + 1);
}

ArchiveContents readArchive(const QString &path)
{
    ArchiveContents contents;
    const ArchivePtr a = openArchive(path);
    if (!a)
        return { {}, QStringLiteral("LZH 書庫として読めません") };
    archive_entry *entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK) {
        const char *raw = archive_entry_pathname(entry);
        const QString name = baseNameOf(decodeCp932(raw ? QByteArrayView(raw) : QByteArrayView()));
        if (archive_entry_filetype(entry) != AE_IFREG || !isResultFileName(name))
            continue;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > MaxDayBytes)
            return { {}, tooLarge(name) };
        ArchiveMember member { name, {} };
        QString error;
        if (!readMember(a.get(), name, member.bytes, error))
            return { {}, error };
        contents.members.append(std::move(member));
    }
    if (status != ARCHIVE_EOF)
        return { {}, QStringLiteral("書庫が壊れています") };
    if (contents.members.isEmpty())
        contents.error = QStringLiteral("K で始まるファイルがありません");
    return contents;
}

} // namespace rusena::library
