#pragma once

#include <QString>
#include <QStringView>

namespace rusena::library {

/// The fields of a race-label line
/// ("   5R       一　　般  進入固定  H1800m  晴　  風  南東　10m  波　  3cm"), as written and
/// trimmed. Fields the line does not carry stay empty.
struct RaceLabel final {
    QString heading; ///< between "NR" and the distance, without the fixed-entry flag
    bool fixedEntry = false;
    QString distance; ///< the digits of "H<digits>m"
    QString weather;
    QString windDirection;
    QString windSpeed; ///< metres a second, digits
    QString wave; ///< centimetres, digits

    friend bool operator==(const RaceLabel &, const RaceLabel &) = default;
};

/// Reads a line that raceNumberOfLabel() accepts.
RaceLabel readRaceLabel(QStringView line);

/// The winning technique a column-title line names after "ﾚｰｽﾀｲﾑ", trimmed; empty when none.
QString techniqueOf(QStringView columnTitleLine);

} // namespace rusena::library
