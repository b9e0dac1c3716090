#pragma once

#include "library/daysummary.h"

#include <QString>

#include <map>
#include <tuple>

namespace rusena::library {

/// The summaries of days written but not yet added to the monthly and yearly roll-ups,
/// summed by month (or year), venue and course or technique. A group's days fall in a
/// month or two: the index writer adds each roll-up row once a commit instead of reading
/// every day's summary rows back, which had been a fifth of the writing thread's work.
class RollUpTally final {
public:
    using CourseKey = std::tuple<QString, int, int>; ///< period, venue, course
    using TechniqueKey = std::tuple<QString, int, QString>; ///< period, venue, technique
    /// The sums of one table pair: months (YYYY-MM) or years (YYYY). A course's sums are
    /// kept in a CourseSummary, whose venue and course the key holds.
    struct Period final {
        std::map<CourseKey, CourseSummary> courses;
        std::map<TechniqueKey, int> techniques;
    };

    void add(const QString &date, const DaySummary &summary);
    void clear();
    bool isEmpty() const { return m_months.courses.empty() && m_months.techniques.empty(); }
    const Period &months() const { return m_months; }
    const Period &years() const { return m_years; }

private:
    static void add(Period &period, const QString &key, const DaySummary &summary);

    Period m_months;
    Period m_years;
};

} // namespace rusena::library
