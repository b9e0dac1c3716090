#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

namespace rusena {

/// One end of a period: a date typed as 20200331, 2020/3/31 or 2020-03-31, or picked from
/// a calendar that opens on the library's days; empty reads 指定なし (the end is open),
/// and Delete empties it. Says dateChanged() when the date it stands for changes.
class DateBox final : public QWidget {
    Q_OBJECT
public:
    explicit DateBox(QWidget *parent = nullptr);

    /// The date shown; null when open.
    QDate date() const { return m_date; }
    /// Shows `date` (null: 指定なし) without saying dateChanged().
    void showDate(const QDate &date);
    /// Shows `date` and says dateChanged() if it differs, as the user's choice would.
    void setDate(const QDate &date);
    /// The stored days, which the calendar offers and opens on.
    void setSpan(const QDate &first, const QDate &last);

    QLineEdit *edit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    QCalendarWidget *calendar() const { return m_calendar; }

    /// The date `text` stands for: null for an empty text or one that is no real date.
    static QDate parse(const QString &text);

Q_SIGNALS:
    void dateChanged(const QDate &date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onEditingFinished();
    void prepareCalendar();

    QDate m_date;
    QDate m_last; ///< the newest stored day, null before the span is known
    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    QCalendarWidget *m_calendar = nullptr;
};

} // namespace rusena
