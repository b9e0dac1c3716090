#pragma once

#include "library/library.h"

#include <QDate>
#include <QDialog>

class QListWidget;
class QListWidgetItem;

namespace rusena {

/// ファイル > 日付を選ぶ: the stored days, newest first (date with weekday, venues, races),
/// walked with the arrow keys; Enter or a double click makes a day the day on show.
class DayPicker final : public QDialog {
    Q_OBJECT
public:
    explicit DayPicker(QWidget *parent = nullptr);

    /// Fills the list and selects `current` (the day on show), else the newest day.
    void setDays(const QList<library::StoredDay> &days, const QDate &current);
    QListWidget *list() const { return m_list; }

    /// The text of a day's row.
    static QString rowText(const library::StoredDay &day);

Q_SIGNALS:
    void dayChosen(const QDate &date);

private:
    void chooseCurrent();

    QListWidget *m_list = nullptr;
};

} // namespace rusena
