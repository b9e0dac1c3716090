#pragma once

#include <QString>
#include <QStringView>

namespace rusena::library {

/// The fields of a race-label line
/// ("   5R       一　　般  進入固定  H1800m  晴　  風  南東　10m  波　  3cm"), as written and
/// trimmed. Fields the line does not carry stay empty; the others view the line.
struct RaceLabel final {
    QStringView heading; ///< between "NR" and the distance, without the fixed-entry flag
    bool fixedEntry = false;
    QStringView distance; ///< the digits of "H<digits>m"
    QStringView weather;
    QStringView windDirection;
    QStringView windSpeed; ///< metres a second, digits
    QStringView wave; ///< centimetres, digits

    friend bool operator==(const RaceLabel &, const RaceLabel &) = default;
};

/// Reads a line that raceNumberOfLabel() accepts.
RaceLabel readRaceLabel(QStringView line);

/// The winning technique a column-title line names after "ﾚｰｽﾀｲﾑ", trimmed; empty when none.
QStringView techniqueOf(QStringView columnTitleLine);

} // namespace rusena::library
