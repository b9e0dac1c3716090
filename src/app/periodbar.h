#pragma once

#include "library/period.h"

#include <QWidget>

class QComboBox;
class QDateEdit;

namespace rusena {

/// The period and venue above each library window: from, to (either may stay open) and
/// a venue or all venues. Says changed() when the user alters any of them.
class PeriodBar final : public QWidget {
    Q_OBJECT
public:
    explicit PeriodBar(bool withVenue, QWidget *parent = nullptr);

    library::Period period() const;
    void setPeriod(const library::Period &period);

    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QComboBox *venueBox() const { return m_venue; }

Q_SIGNALS:
    void changed();

private:
    QDateEdit *makeDateEdit();

    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_venue = nullptr;
};

} // namespace rusena
