#pragma once

// What the program knows about the layout of a programme file (the races of a coming day
// and their entrants), in one place beside the result file's layout. The file runs
// "STARTB", venue sections, "FINALB"; a section opens with its begin line ("24BBGN"),
// carries the meeting in its head, then one block per race:
//
//   ボートレース大　村   　１月　１日  第２回オオムラグラン  第　４日               <- first line
//                               ＊＊＊　番組表　＊＊＊
//             第２回オオムラグランプリ　日本財団会長杯                             <- title
//      第　４日          ２０２０年　１月　１日                  ボートレース大　村    <- date line
//   　１Ｒ  一般（Ｂ組）          Ｈ１８００ｍ  電話投票締切予定１５：１５          <- label
//   ---------------------------------------------------------------------------  <- dashed
//   艇 選手 選手  年 支 体級    全国      当地     モーター   ボート   今節成績  早  <- titles
//   番 登番  名   齢 部 重別 勝率  2率  勝率  2率  NO  2率  NO  2率  １２３４５６見
//   ---------------------------------------------------------------------------
//   1 4164岩永節也37長崎51B1 3.62 15.31 4.45 21.49 62 40.31 15 36.28 4 354        6  <- entrant
//
// and closes with its end line ("24BEND"). Positions count characters from 1, a
// full-width character counting as one; the venue code reads as in result files.

#include <QDate>
#include <QString>
#include <QStringView>

namespace rusena::programmelayout {

inline constexpr QStringView DayStartMarker = u"STARTB";
inline constexpr QStringView DayEndMarker = u"FINALB";
inline constexpr QStringView SectionBeginTag = u"BBGN";
inline constexpr QStringView SectionEndTag = u"BEND";
/// The line after which, past one blank line, the meeting's title stands.
inline constexpr QStringView ProgrammeBanner = u"＊＊＊　番組表　＊＊＊";

bool isSectionBegin(QStringView line);
bool isSectionEnd(QStringView line);

/// The race number a label line opens with ("　１Ｒ", "１０Ｒ"), 0 when the line is no label.
int raceNumberOfLabel(QStringView line);

/// The fields of a race label, trimmed. Texts converted from full-width digits are
/// half-width copies; the name views the line.
struct ProgrammeLabel final {
    int race = 0;
    QStringView name; ///< between the race's "Ｒ" and the distance, without the flag
    bool fixedEntry = false;
    QString distance; ///< "1800"
    QString deadline; ///< "15:15", empty where the line carries none
};
ProgrammeLabel readLabel(QStringView line);

/// The meeting day and date of a section's date line ("   第　４日   ２０２０年　１月　１日"),
/// or an invalid date when the line is no date line. `day` is the number of "第　N日" in
/// half-width digits, "1" for "初日", other words as written.
struct MeetingDate final {
    QString day;
    QDate date;
};
MeetingDate readDateLine(QStringView line);

/// One entrant row cut at its fixed columns, trimmed (meeting results only of trailing
/// blanks). The fields view the line read.
struct EntrantRow final {
    QStringView boat; ///< 1
    QStringView reg; ///< 3-6
    QStringView name; ///< 7-10
    QStringView age; ///< 11-12
    QStringView branch; ///< 13-14
    QStringView weight; ///< 15-16
    QStringView grade; ///< 17-18: "A1".."B2"
    QStringView nationalWinRate; ///< 19-23
    QStringView nationalTop2Rate; ///< 24-29
    QStringView localWinRate; ///< 30-34
    QStringView localTop2Rate; ///< 35-40
    QStringView motor; ///< 41-43
    QStringView motorTop2Rate; ///< 44-49
    QStringView boatNumber; ///< 50-52
    QStringView boatTop2Rate; ///< 53-58
    QStringView meetingResults; ///< 60-71, inner and leading blanks kept
    QStringView earlyRace; ///< 72-73
};

/// True for an entrant row: a boat digit 1..6, a blank, four digits at 3-6.
bool isEntrantRow(QStringView line);
EntrantRow readEntrantRow(QStringView line);

/// Full-width digits (and "：") as half-width text; other characters are kept.
QString halfWidth(QStringView text);

} // namespace rusena::programmelayout
