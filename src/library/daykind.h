#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace rusena::library {

/// What a day file holds: the results of a day's races, or the programme of a coming day.
enum class DayKind { Result, Programme };

/// The kind a file name tells: K or k a result day, B or b a programme day.
std::optional<DayKind> kindOfFileName(const QString &fileName);
/// The kind a file's bytes tell, for a file named neither way: a programme opens with
/// "STARTB" or holds a "NNBBGN" line, a result day holds a "NNKBGN" line.
std::optional<DayKind> kindOfBytes(QByteArrayView bytes);
/// The name's kind, else the bytes'.
std::optional<DayKind> kindOfDay(const QString &fileName, QByteArrayView bytes);

} // namespace rusena::library
