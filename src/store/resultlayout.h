#pragma once

// What the program knows about the layout of a day file, in one place. A day is a run of
// venue sections; a section opens with a begin line ("23KBGN"), carries a header (title,
// meeting day and date), a payout summary, and then one block per race:
//
//      1R       一　　般　　                 H1800m  晴　  風  南　　 4m  波　  4cm   <- label
//     着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ 逃げ        <- column titles
//   -------------------------------------------------------------------------------  <- dashed line
//     01  1 4101 三井所　　尊　春 11   81  6.73   1    0.27     1.52.0               <- placing
//     rows
//           単勝     1          150                                                   <- payout
//           lines
//
// and closes with an end line ("23KEND"). Positions count characters from 1, a
// full-width character counting as one.

#include <QDate>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace rusena::layout {

inline constexpr int VenueCount = 24; ///< venue codes run 1..VenueCount
inline constexpr int RaceCount = 12; ///< race numbers run 1..RaceCount

// Section begin and end lines: the venue code in characters 1-2, the tag in 3-6.
inline constexpr int SectionTagPosition = 3;
inline constexpr QStringView SectionBeginTag = u"KBGN";
inline constexpr QStringView SectionEndTag = u"KEND";
/// The line that ends the day's last section.
inline constexpr QStringView DayEndMarker = u"FINALK";

// The section header, counted in lines from the begin line.
inline constexpr int TitleLineOffset = 5;
inline constexpr int DateLineOffset = 7;

// A race block, counted in lines from its label line (offset 0).
inline constexpr int ColumnTitleOffset = 1;
inline constexpr int DashedLineOffset = 2;
inline constexpr int FirstRowOffset = 3;
inline constexpr int RowsPerRace = 6;
/// The payout lines follow the placing rows after one blank line.
inline constexpr int FirstPayoutOffset = FirstRowOffset + RowsPerRace + 1;

/// Width of a placing row in the organiser's files.
inline constexpr int PlacingRowWidth = 58;

bool isSectionBegin(QStringView line);
bool isSectionEnd(QStringView line);
bool isDayEnd(QStringView line);

/// The venue code of a begin or end line: two characters, "01".."99", or one digit with
/// a half-width blank before or after it (" 5", "5 "). Anything else (a sign, another
/// kind of blank, a third digit) is no code: -1. 0 and codes over VenueCount are returned
/// as read; callers decide whether such a section counts.
int venueCode(QStringView line);

/// The begin and end lines of venue `code` as the file writes them ("05KBGN", "05KEND").
QString sectionBeginMarker(int code);
QString sectionEndMarker(int code);

/// The date a section header's date line carries ("   第 5日          2020/ 8/15"), or
/// an invalid date.
QDate sectionDate(QStringView dateLine);

/// The label of race `race` as it opens the label line ("   5R", "  12R").
QString raceLabel(int race);

/// The race number a label line opens with (leading blanks, the number, "R", and further
/// on the distance "H<digits>m"), 0 when the line is no race label. The payout summary at
/// the top of a section ("           1R  1-3-4 ...") carries no distance and is no label.
int raceNumberOfLabel(QStringView line);

bool isColumnTitleLine(QStringView line);
bool isDashedLine(QStringView line);
/// A block holding this line is a void race.
bool isVoidRaceLine(QStringView line);

/// One placing row cut at its fixed columns, each field trimmed of half- and full-width
/// blanks at both ends (inner blanks are kept, as in names). The fields view the line
/// read: they are valid as long as its text is.
struct PlacingRow final {
    QStringView placing; ///< 3-4: "01".."06", "F", "L0", "K1", "S2", "00"
    QStringView boat; ///< 7
    QStringView reg; ///< 9-12: registration number
    QStringView name; ///< 14-21
    QStringView motor; ///< 23-24
    QStringView boatNumber; ///< 27-29
    QStringView exhibition; ///< 31-35
    QStringView course; ///< 39: "1".."6", empty for a boat that did not start
    QStringView start; ///< 43-47: "0.27", "F0.04", "L1.04", "K ." as written
    QStringView raceTime; ///< 53-58: "1.52.0"; empty where the file writes ".  ."

    /// 1..6 where placing is "01".."06", else 0.
    int rank() const;
};

/// True for a placing row: PlacingRowWidth characters (trailing blanks aside), blanks in
/// 1-2, a boat digit 1..6 at 7 and four digits at 9-12.
bool isPlacingRow(QStringView line);
/// The row cut at its columns, or nothing when the line is no placing row.
std::optional<PlacingRow> readPlacingRow(QStringView line);

/// The bet types that open a payout line (after leading blanks), in the file's order.
inline constexpr std::array<QStringView, 7> BetNames { u"単勝", u"複勝", u"２連単", u"２連複",
    u"拡連複", u"３連単", u"３連複" };
/// The bet type a payout line opens with, or an empty view when the line opens with none
/// (a continuation line under it, or no payout line at all).
QStringView payoutBet(QStringView line);

/// A half-width (U+0020) or full-width (U+3000) blank: the file pads with both.
inline bool isBlank(QChar c)
{
    return c == u' ' || c == QChar(0x3000);
}

/// A half-width digit 0-9 (full-width digits are text, not numbers, in the file).
inline bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// Removes half-width (U+0020) and full-width (U+3000) blanks at both ends.
QStringView trimBlanks(QStringView text);

/// Trims a race's name and takes the fixed-entry flag off its end, where the flag is a
/// word of its own ("予選　進入固定"; "進入固定戦隊" is a name). True when it was there.
bool cutFixedEntryFlag(QStringView &name);

} // namespace rusena::layout
