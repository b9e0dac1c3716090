#pragma once

#include "library/period.h"

#include <QWidget>

class QComboBox;

namespace rusena {

class DateBox;

/// The period and venue above each library window: from, to (either may stay open) and
/// a venue or all venues. Says changed() when the user alters any of them.
class PeriodBar final : public QWidget {
    Q_OBJECT
public:
    explicit PeriodBar(bool withVenue, QWidget *parent = nullptr);

    library::Period period() const;
    void setPeriod(const library::Period &period);
    /// The stored days, which the calendars offer.
    void setSpan(const QDate &first, const QDate &last);
    /// The period as part of a file name: 20200815 for a day, 20200101-20200630, 全期間,
    /// and the venue's name where one is chosen.
    QString fileNamePart() const;

    DateBox *fromBox() const { return m_from; }
    DateBox *toBox() const { return m_to; }
    QComboBox *venueBox() const { return m_venue; }

Q_SIGNALS:
    void changed();

private:
    DateBox *m_from = nullptr;
    DateBox *m_to = nullptr;
    QComboBox *m_venue = nullptr;
};

} // namespace rusena
