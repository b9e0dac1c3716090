#pragma once

#include "payoutline.h"
#include "racelabel.h"
#include "store/resultlayout.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

namespace rusena::library {

/// A venue section with a code 1..VenueCount, with or without race blocks.
struct ParsedSection final {
    int venueCode = 0;
    QStringView title;
    QDate date; ///< the header's date, invalid when it carries none
    QStringView writtenDate; ///< the header's date as written, to say why it is none
};

/// One race block: its label, what the block says about the race, and its rows.
struct ParsedRace final {
    int venueCode = 0;
    int race = 0;
    RaceLabel label;
    QStringView technique;
    bool isVoid = false;
    QList<layout::PlacingRow> entries;
    QList<Payout> payouts; ///< none for a void race
};

/// Everything the library indexes of one day file, in the file's order. Its texts view
/// the decoded day it keeps, and so stay valid with any copy of it.
struct ParsedDay final {
    QString text;
    QList<ParsedSection> sections;
    QList<ParsedRace> races;
    int malformedPayoutLines = 0; ///< payout lines with a number out of range

    /// The first section header's date, or an invalid date.
    QDate firstSectionDate() const;
};

/// Reads a decoded day.
ParsedDay parseDay(QString text);
/// Decodes the file's bytes (code page 932) and reads them.
ParsedDay parseDayBytes(QByteArrayView bytes);

} // namespace rusena::library
