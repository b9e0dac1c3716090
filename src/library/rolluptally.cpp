#include "rolluptally.h"

namespace rusena::library {

void RollUpTally::add(const QString &date, const DaySummary &summary)
{
    add(m_months, date.left(7), summary);
    add(m_years, date.left(4), summary);
}

void RollUpTally::add(Period &period, const QString &key, const DaySummary &summary)
{
    for (const CourseSummary &c : summary.courses) {
        CourseSummary &sum = period.courses[{ key, c.venueCode, c.course }];
        sum.starts += c.starts;
        sum.first += c.first;
        sum.second += c.second;
        sum.third += c.third;
        sum.fourth += c.fourth;
        sum.fifth += c.fifth;
        sum.sixth += c.sixth;
        sum.startSumCs += c.startSumCs;
        sum.plainStarts += c.plainStarts;
    }
    for (const TechniqueSummary &t : summary.techniques)
        period.techniques[{ key, t.venueCode, t.technique.toString() }] += t.races;
}

void RollUpTally::clear()
{
    m_months = {};
    m_years = {};
}

} // namespace rusena::library
