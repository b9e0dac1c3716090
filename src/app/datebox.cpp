#include "datebox.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidgetAction>

namespace rusena {

namespace {

const QString Shown = QStringLiteral("yyyy/MM/dd");

} // namespace

DateBox::DateBox(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(QStringLiteral("指定なし"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setMaxLength(10);
    // Room for 2020/03/31 and the clear button, whatever the font.
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00"))
        + m_edit->fontMetrics().height() * 2);
    m_edit->installEventFilter(this);
    layout->addWidget(m_edit);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setGridVisible(true);
    auto *menu = new QMenu(this);
    auto *holder = new QWidgetAction(menu);
    holder->setDefaultWidget(m_calendar);
    menu->addAction(holder);
    m_button = new QToolButton(this);
    m_button->setText(QStringLiteral("▼"));
    m_button->setToolTip(QStringLiteral("カレンダーから選ぶ"));
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setMenu(menu);
    layout->addWidget(m_button);

    connect(menu, &QMenu::aboutToShow, this, &DateBox::prepareCalendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this, menu](const QDate &date) {
        menu->close();
        setDate(date);
    });
    connect(m_calendar, &QCalendarWidget::activated, this, [this, menu](const QDate &date) {
        menu->close();
        setDate(date);
    });
    connect(m_edit, &QLineEdit::editingFinished, this, &DateBox::onEditingFinished);
    // The clear button empties the box without finishing the edit: act on it at once.
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty() && m_date.isValid())
            setDate({});
    });
}

QDate DateBox::parse(const QString &text)
{
    // Full-width digits and slashes typed through an input method are the same date.
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    static const QRegularExpression digits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{4})[/.-](\\d{1,2})[/.-](\\d{1,2})$"));
    QRegularExpressionMatch m = digits.match(t);
    if (!m.hasMatch())
        m = parts.match(t);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void DateBox::showDate(const QDate &date)
{
    m_date = date.isValid() ? date : QDate();
    const QSignalBlocker block(m_edit);
    m_edit->setText(m_date.isValid() ? m_date.toString(Shown) : QString());
}

void DateBox::setDate(const QDate &date)
{
    const QDate before = m_date;
    showDate(date);
    if (m_date != before)
        Q_EMIT dateChanged(m_date);
}

void DateBox::setSpan(const QDate &first, const QDate &last)
{
    m_last = last;
    if (first.isValid() && last.isValid())
        m_calendar->setDateRange(first, last);
}

void DateBox::onEditingFinished()
{
    const QString text = m_edit->text();
    if (text.trimmed().isEmpty())
        return setDate({});
    const QDate typed = parse(text);
    // What is no date is put back to the date that stands, so the box never shows one
    // thing and means another.
    setDate(typed.isValid() ? typed : m_date);
}

void DateBox::prepareCalendar()
{
    // The calendar opens on the date shown, else on the newest stored day.
    const QDate shown = m_date.isValid() ? m_date
        : m_last.isValid()               ? m_last
                                         : QDate::currentDate();
    m_calendar->setSelectedDate(shown);
    m_calendar->setCurrentPage(shown.year(), shown.month());
}

bool DateBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete) {
            setDate({});
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rusena
