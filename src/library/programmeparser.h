#pragma once

#include "store/programmelayout.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

namespace rusena::library {

/// A venue section of a programme with a code 1..VenueCount, with or without races.
struct ProgrammeSection final {
    int venueCode = 0;
    QStringView title; ///< the meeting's title
    QString meetingDay; ///< "5"; empty where the head writes none
    QDate date; ///< the date line's date, invalid where there is none
};

/// One race of a programme: its label and its entrant rows in the file's order.
struct ProgrammeRace final {
    int venueCode = 0;
    qsizetype section = 0; ///< index of its section in ParsedProgramme::sections
    programmelayout::ProgrammeLabel label;
    QList<programmelayout::EntrantRow> entrants;
};

/// Everything the library indexes of one programme file, in the file's order. Its texts
/// view the decoded day it keeps, and so stay valid with any copy of it.
struct ParsedProgramme final {
    QString text;
    QList<ProgrammeSection> sections;
    QList<ProgrammeRace> races;

    /// The date of the first section that carries one, or an invalid date.
    QDate firstSectionDate() const;
};

ParsedProgramme parseProgramme(QString text);
/// Decodes the file's bytes (code page 932) and reads them.
ParsedProgramme parseProgrammeBytes(QByteArrayView bytes);

} // namespace rusena::library
