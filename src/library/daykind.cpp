#include "daykind.h"

namespace rusena::library {

namespace {

// A line beginning with two digits and `tag` ("24BBGN"). The markers are ASCII, which
// code page 932 writes as ASCII, so the bytes need no decoding.
bool holdsSectionLine(QByteArrayView bytes, QByteArrayView tag)
{
    for (qsizetype at = bytes.indexOf(tag); at >= 0; at = bytes.indexOf(tag, at + 1)) {
        if (at >= 2 && (at == 2 || bytes[at - 3] == '\n') && std::isdigit(uchar(bytes[at - 1]))
            && std::isdigit(uchar(bytes[at - 2])))
            return true;
    }
    return false;
}

} // namespace

std::optional<DayKind> kindOfFileName(const QString &fileName)
{
    if (fileName.startsWith(u'K', Qt::CaseInsensitive))
        return DayKind::Result;
    if (fileName.startsWith(u'B', Qt::CaseInsensitive))
        return DayKind::Programme;
    return std::nullopt;
}

std::optional<DayKind> kindOfBytes(QByteArrayView bytes)
{
    if (bytes.startsWith("STARTB") || holdsSectionLine(bytes, "BBGN"))
        return DayKind::Programme;
    if (holdsSectionLine(bytes, "KBGN"))
        return DayKind::Result;
    return std::nullopt;
}

std::optional<DayKind> kindOfDay(const QString &fileName, QByteArrayView bytes)
{
    if (const std::optional<DayKind> kind = kindOfFileName(fileName))
        return kind;
    return kindOfBytes(bytes);
}

} // namespace rusena::library
