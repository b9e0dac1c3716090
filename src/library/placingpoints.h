#pragma once

#include <QString>
#include <QtGlobal>

namespace rusena::library {

/// The points a placing scores in the fans' 勝率: ranks 1..6 score 10, 8, 6, 4, 2, 1; a
/// start without a rank (F, L, K, S marks) scores 0.
inline int placingPoints(int rank)
{
    constexpr int Points[] = { 0, 10, 8, 6, 4, 2, 1 };
    return rank >= 1 && rank <= 6 ? Points[rank] : 0;
}

/// The fans' 勝率: the mean of the placing points over `starts`, with two decimals rounded
/// half up on the exact mean (5 points over 3 starts is "1.67"); empty without a start.
inline QString pointsAverageText(qint64 points, qint64 starts)
{
    if (starts <= 0)
        return {};
    const qint64 hundredths = (200 * points + starts) / (2 * starts);
    return QString::number(hundredths / 100) + u'.'
        + QString::number(hundredths % 100).rightJustified(2, u'0');
}

} // namespace rusena::library
