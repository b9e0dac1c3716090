#pragma once

// Shared set-up for the race tests: real days from the test data folder, small made-up
// days built line by line, and placing rows in the organiser's layout.

#include "race/racestate.h"
#include "store/linestore.h"
#include "store/nametables.h"

#include <QByteArrayList>
#include <QFile>
#include <QString>
#include <QTest>

namespace racefixtures {

/// The bytes of a real result file from the test data folder.
inline QByteArray realFileBytes(const QString &fileName)
{
    QFile file(QStringLiteral(RUSENA_TEST_DATA "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("test data missing: %s", qPrintable(fileName));
    return file.readAll();
}

/// A line store holding a real result file.
inline rusena::LineStore realDay(const QString &fileName)
{
    rusena::LineStore store;
    store.loadBytes(realFileBytes(fileName));
    return store;
}

/// A line store holding the given lines (code page 932 bytes), CR LF terminated.
inline rusena::LineStore dayOf(const QByteArrayList &lines)
{
    rusena::LineStore store;
    const QByteArray bytes = lines.join("\r\n") + QByteArray("\r\n");
    store.loadBytes(bytes);
    return store;
}

inline rusena::NameTables tables()
{
    rusena::NameTables t;
    rusena::fillNameTables(t);
    return t;
}

/// A placing row laid out as the organiser writes it: mark (two characters), boat,
/// registration number, an eight-character name, exhibition time, course, start timing
/// (five characters, e.g. " 0.12" or "F0.03") and race time.
inline QString placingRow(const QString &mark, const QString &boat, const QString &course,
    const QString &startTiming = QStringLiteral(" 0.12"),
    const QString &raceTime = QStringLiteral(" 1.51.8"))
{
    return u"  " + mark + u"  " + boat + u" 4101 長　溝　　一　生 46   41  6.80   " + course
        + u"   " + startTiming + u"    " + raceTime;
}

/// A race block of label, two heading lines and six rows, then an empty line.
inline void putBlock(rusena::RaceState &state, const QStringList &rows)
{
    for (QString &line : state.raceLines)
        line.clear();
    state.raceLines[1] = QStringLiteral("   1R       一　般");
    state.raceLines[2] = QStringLiteral("  着 艇 登番");
    state.raceLines[3] = QStringLiteral("----------");
    for (int i = 0; i < rows.size() && i < 6; ++i)
        state.raceLines[static_cast<size_t>(i + 4)] = rows.at(i);
}

/// Six finishers, boat b from course b, placed in boat order, with no technique named.
inline QStringList plainRows()
{
    QStringList rows;
    for (int b = 1; b <= 6; ++b)
        rows << placingRow(QStringLiteral("0%1").arg(b), QString::number(b), QString::number(b));
    return rows;
}

} // namespace racefixtures
