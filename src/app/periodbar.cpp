#include "periodbar.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

namespace rusena {

namespace {

// The lowest date of an edit stands for an open end and reads 指定なし.
const QDate OpenEnd(2000, 1, 1);

QDate dateOf(const QDateEdit *edit)
{
    return edit->date() == OpenEnd ? QDate() : edit->date();
}

} // namespace

PeriodBar::PeriodBar(bool withVenue, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_from = makeDateEdit();
    m_to = makeDateEdit();
    layout->addWidget(new QLabel(QStringLiteral("期間"), this));
    layout->addWidget(m_from);
    layout->addWidget(new QLabel(QStringLiteral("～"), this));
    layout->addWidget(m_to);
    if (withVenue) {
        m_venue = new QComboBox(this);
        m_venue->setObjectName(QStringLiteral("venue"));
        m_venue->addItem(QStringLiteral("全場"), 0);
        for (int code = 1; code <= 24; ++code)
            m_venue->addItem(library::venueName(code), code);
        layout->addWidget(new QLabel(QStringLiteral("場"), this));
        layout->addWidget(m_venue);
        connect(m_venue, &QComboBox::currentIndexChanged, this, &PeriodBar::changed);
    }
    layout->addStretch();
}

QDateEdit *PeriodBar::makeDateEdit()
{
    auto *edit = new QDateEdit(OpenEnd, this);
    edit->setMinimumDate(OpenEnd);
    edit->setSpecialValueText(QStringLiteral("指定なし"));
    edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit->setCalendarPopup(true);
    connect(edit, &QDateEdit::dateChanged, this, &PeriodBar::changed);
    return edit;
}

library::Period PeriodBar::period() const
{
    return { dateOf(m_from), dateOf(m_to), m_venue ? m_venue->currentData().toInt() : 0 };
}

void PeriodBar::setPeriod(const library::Period &period)
{
    const QSignalBlocker blockFrom(m_from), blockTo(m_to);
    m_from->setDate(period.from.isValid() ? period.from : OpenEnd);
    m_to->setDate(period.to.isValid() ? period.to : OpenEnd);
    if (m_venue) {
        const QSignalBlocker blockVenue(m_venue);
        m_venue->setCurrentIndex(std::max(0, m_venue->findData(period.venue)));
    }
}

} // namespace rusena
