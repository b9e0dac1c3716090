#pragma once

// A day's date, decided in one place for the library, its raw files and the viewer.

#include "daykind.h"

#include <QDate>
#include <QString>
#include <QStringView>

namespace rusena::library {

/// The date a file name carries: "KYYMMDD" (K or k, the years 2000-2099, as the organiser
/// names its files) or "KYYYYMMDD" (any year, as the library names a day outside them),
/// followed by anything but a digit; the same with B or b for a programme day. Invalid
/// when the name carries no real date.
QDate dateOfFileName(QStringView fileName);

/// The date a day is filed under: the one its file name carries, else its first venue
/// section's header date. Invalid when neither gives a real date.
QDate dayDate(QStringView fileName, const QDate &headerDate);

/// The name of a day's raw file: "KYYMMDD.TXT" for 2000-2099, "KYYYYMMDD.TXT" for any
/// other year, so that no two days share a name and the name gives back the date; "B..."
/// for a programme day.
QString storedDayName(const QDate &date, DayKind kind = DayKind::Result);

} // namespace rusena::library
