#include "daypicker.h"

#include "session/importsummary.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace rusena {

DayPicker::DayPicker(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("daypicker"));
    setWindowTitle(QStringLiteral("日付を選ぶ"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("表示する日(&L):"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("dayList"));
    m_list->setMinimumSize(320, 300);
    m_list->setWordWrap(true);
    // A fixed-pitch face keeps the counts in columns (a full-width character is two).
    QFont fixed(QStringLiteral("IPAGothic"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPointSize(10);
    m_list->setFont(fixed);
    label->setBuddy(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("表示"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("閉じる"));
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &DayPicker::chooseCurrent);
    connect(buttons, &QDialogButtonBox::rejected, this, &DayPicker::reject);
    connect(m_list, &QListWidget::itemActivated, this, &DayPicker::chooseCurrent);
}

QString DayPicker::rowText(const library::StoredDay &day)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    return QStringLiteral("%1  %2 場  %3 レース")
        .arg(japanese.toString(day.date, QStringLiteral("yyyy/MM/dd (ddd)")))
        .arg(day.venues, 2)
        .arg(day.races, 3);
}

void DayPicker::setDays(const QList<library::StoredDay> &days, const QDate &current)
{
    m_list->clear();
    int currentRow = 0;
    for (const library::StoredDay &day : days) {
        auto *item = new QListWidgetItem(rowText(day), m_list);
        item->setData(Qt::UserRole, day.date);
        if (day.date == current)
            currentRow = m_list->count() - 1;
    }
    if (m_list->count() > 0) {
        m_list->setCurrentRow(currentRow);
    } else {
        // An empty library: the list says how days get into it instead of staying blank.
        auto *hint = new QListWidgetItem(emptyLibraryHint(), m_list);
        hint->setFlags(Qt::NoItemFlags);
    }
    m_list->setFocus();
}

void DayPicker::chooseCurrent()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->data(Qt::UserRole).toDate().isValid())
        return;
    accept();
    Q_EMIT dayChosen(item->data(Qt::UserRole).toDate());
}

} // namespace rusena
