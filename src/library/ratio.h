#pragma once

#include <QString>
#include <QtGlobal>

namespace rusena::library {

/// The fraction num / den (num >= 0, den > 0) written with three decimals, rounded half up
/// on the exact value: 201 / 400 is "0.503". Integer arithmetic only, because binary
/// floating point sees 0.5025 as slightly less and rounds it down.
inline QString threeDecimals(qint64 num, qint64 den)
{
    const qint64 thousandths = (2000 * num + den) / (2 * den);
    return QString::number(thousandths / 1000) + u'.'
        + QString::number(thousandths % 1000).rightJustified(3, u'0');
}

/// A rate written as the queries write it: empty where there is nothing to divide by.
inline QString rateText(qint64 num, qint64 den)
{
    return den > 0 ? threeDecimals(num, den) : QString();
}

/// The mean of `count` start timings in hundredths, in seconds with three decimals;
/// empty where there is none.
inline QString meanStartText(qint64 sumHundredths, qint64 count)
{
    return count > 0 ? threeDecimals(sumHundredths, 100 * count) : QString();
}

} // namespace rusena::library
