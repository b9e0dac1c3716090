#pragma once

#include <QString>
#include <QtGlobal>

namespace rusena::library {

/// The fraction num / den (num >= 0, den > 0) written with `places` decimals, rounded half
/// up on the exact value: 201 / 400 with three is "0.503". Integer arithmetic only,
/// because binary floating point sees 0.5025 as slightly less and rounds it down.
inline QString decimals(qint64 num, qint64 den, int places)
{
    qint64 unit = 1;
    for (int i = 0; i < places; ++i)
        unit *= 10;
    const qint64 scaled = (2 * unit * num + den) / (2 * den);
    return QString::number(scaled / unit) + u'.'
        + QString::number(scaled % unit).rightJustified(places, u'0');
}

/// The fraction with three decimals, as the command-line tool writes its rates.
inline QString threeDecimals(qint64 num, qint64 den)
{
    return decimals(num, den, 3);
}

/// A rate written as the command-line tool writes it: empty where there is nothing to
/// divide by.
inline QString rateText(qint64 num, qint64 den)
{
    return den > 0 ? threeDecimals(num, den) : QString();
}

/// A rate as the windows show it, a percentage with one decimal rounded half up on the
/// exact fraction (17 of 22 is "77.3"); empty where there is nothing to divide by.
inline QString percentText(qint64 num, qint64 den)
{
    return den > 0 ? decimals(100 * num, den, 1) : QString();
}

/// The mean of `count` start timings in hundredths, in seconds with three decimals;
/// empty where there is none.
inline QString meanStartText(qint64 sumHundredths, qint64 count)
{
    return count > 0 ? threeDecimals(sumHundredths, 100 * count) : QString();
}

} // namespace rusena::library
