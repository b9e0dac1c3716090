#pragma once

// Small synthetic result days for the import, settings and favourite-search tests. Every
// line is ASCII (venue names come from the name tables, not from the file), so the bytes
// are the same in any code page and the character positions are easy to read.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace favouriteday {

/// Registration numbers for the six placing rows of a race; none of them is 0007 or 7000.
inline QStringList ordinaryPlayers(int race)
{
    QStringList regs;
    for (int row = 1; row <= 6; ++row)
        regs << QString::number(3000 + race * 10 + row);
    return regs;
}

/// The same, with `reg` in placing row `row` (1..6).
inline QStringList withPlayer(int race, const QString &reg, int row = 3)
{
    QStringList regs = ordinaryPlayers(race);
    regs[row - 1] = reg;
    return regs;
}

/// A race block as the organiser lays it out: label, two heading lines, six placing rows
/// ("  01  1 4012 Name1 ..."), two payout lines: eleven lines.
inline QStringList raceBlock(int race, const QStringList &regs)
{
    QStringList lines;
    lines << QString::number(race).rightJustified(4, QLatin1Char(' '))
            + QStringLiteral("R       H1800m");
    lines << QStringLiteral("  -------------------------------------------");
    lines << QStringLiteral("  Pl Bt Reg  Name        Mt Co  Exh   ST    Time");
    for (int row = 1; row <= 6; ++row) {
        lines << QStringLiteral("  0%1  %1 %2 Player%1   %1  %1  6.70  0.15  1.50.2")
                     .arg(QString::number(row), regs.value(row - 1));
    }
    lines << QStringLiteral("        Tansho   1   150");
    lines << QStringLiteral("        Fukusho  1   110");
    return lines;
}

/// A venue section with races 1..12; `favouriteRaces` get `reg` in their third row.
inline QStringList section(const QString &code, const QList<int> &favouriteRaces = {},
    const QString &reg = QStringLiteral("0007"))
{
    QStringList lines;
    lines << code + QStringLiteral("KBGN");
    lines << QString() << QString() << QString() << QString();
    lines << QStringLiteral("   Synthetic Cup");
    lines << QString();
    lines << QStringLiteral("   Day 2  2003/ 8/14  Venue ") + code;
    for (int race = 1; race <= 12; ++race) {
        lines << raceBlock(
            race, favouriteRaces.contains(race) ? withPlayer(race, reg) : ordinaryPlayers(race));
    }
    lines << code + QStringLiteral("KEND");
    return lines;
}

/// The file's closing line.
inline QString finalLine()
{
    return QStringLiteral("FINALK");
}

/// File bytes: the lines joined with CR LF, the last one terminated too.
inline QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

} // namespace favouriteday
