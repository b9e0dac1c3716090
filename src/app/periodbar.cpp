#include "periodbar.h"

#include "datebox.h"
#include "store/resultlayout.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace rusena {

PeriodBar::PeriodBar(bool withVenue, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_from = new DateBox(this);
    m_from->setObjectName(QStringLiteral("from"));
    m_to = new DateBox(this);
    m_to->setObjectName(QStringLiteral("to"));
    layout->addWidget(new QLabel(QStringLiteral("期間"), this));
    layout->addWidget(m_from);
    layout->addWidget(new QLabel(QStringLiteral("～"), this));
    layout->addWidget(m_to);
    if (withVenue) {
        m_venue = new QComboBox(this);
        m_venue->setObjectName(QStringLiteral("venue"));
        m_venue->addItem(QStringLiteral("全場"), 0);
        for (int code = 1; code <= layout::VenueCount; ++code)
            m_venue->addItem(library::venueName(code), code);
        layout->addWidget(new QLabel(QStringLiteral("場"), this));
        layout->addWidget(m_venue);
        connect(m_venue, &QComboBox::currentIndexChanged, this, &PeriodBar::changed);
    }
    layout->addStretch();
    for (DateBox *box : { m_from, m_to })
        connect(box, &DateBox::dateChanged, this, &PeriodBar::changed);
}

library::Period PeriodBar::period() const
{
    return { m_from->date(), m_to->date(), m_venue ? m_venue->currentData().toInt() : 0 };
}

void PeriodBar::setPeriod(const library::Period &period)
{
    m_from->showDate(period.from);
    m_to->showDate(period.to);
    if (m_venue) {
        const QSignalBlocker blockVenue(m_venue);
        m_venue->setCurrentIndex(std::max(0, m_venue->findData(period.venue)));
    }
}

void PeriodBar::setSpan(const QDate &first, const QDate &last)
{
    m_from->setSpan(first, last);
    m_to->setSpan(first, last);
}

QString PeriodBar::fileNamePart() const
{
    const library::Period p = period();
    const auto day = [](const QDate &d) { return d.toString(QStringLiteral("yyyyMMdd")); };
    QString text;
    if (!p.from.isValid() && !p.to.isValid())
        text = QStringLiteral("全期間");
    else if (p.from == p.to)
        text = day(p.from);
    else
        text = (p.from.isValid() ? day(p.from) : QString()) + u'-'
            + (p.to.isValid() ? day(p.to) : QString());
    if (p.venue != 0)
        text += u'_' + library::venueName(p.venue);
    return text;
}

} // namespace rusena
