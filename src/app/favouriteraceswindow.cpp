#include "favouriteraceswindow.h"

#include "library/formquery.h"
#include "library/period.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rusena {

using namespace library;

FavouriteRacesWindow::FavouriteRacesWindow(DatabaseFn database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_database(std::move(database))
{
    setWindowTitle(QStringLiteral("お気に入り選手の出走"));
    setObjectName(QStringLiteral("favouriteRaces"));
    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout;
    m_day = new QComboBox(this);
    m_day->setObjectName(QStringLiteral("day"));
    choice->addWidget(new QLabel(QStringLiteral("番組表の日付"), this));
    choice->addWidget(m_day);
    choice->addStretch(1);
    layout->addLayout(choice);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    layout->addWidget(m_summary);
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("races"));
    m_table->setHorizontalHeaderLabels({ QStringLiteral("場"), QStringLiteral("レース"),
        QStringLiteral("艇"), QStringLiteral("締切予定") });
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table, 1);
    connect(m_day, &QComboBox::activated, this, &FavouriteRacesWindow::refresh);
    // A double-click, or Enter on the current row, as the other tables of the library.
    connect(m_table, &QTableWidget::activated, this,
        [this](const QModelIndex &index) { onActivated(index.row()); });
    resize(420, 360);
}

void FavouriteRacesWindow::showPlayer(const QString &reg, const QDate &date)
{
    m_reg = reg;
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const QueryResult<QList<QDate>> dates = queryProgrammeDates(*db);
    const QSignalBlocker blocker(m_day);
    m_day->clear();
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    for (const QDate &d : dates.value.value_or(QList<QDate>()))
        m_day->addItem(japanese.toString(d, QStringLiteral("yyyy/MM/dd (ddd)")), d);
    const int index = m_day->findData(date);
    m_day->setCurrentIndex(index >= 0 ? index : 0);
    refresh();
}

void FavouriteRacesWindow::refresh()
{
    m_races.clear();
    m_table->setRowCount(0);
    if (m_reg.isEmpty()) {
        m_summary->setText(
            QStringLiteral("お気に入り選手が登録されていません (ファイル > 登録設定)。"));
        return;
    }
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const QDate date = m_day->currentData().toDate();
    const QueryResult<QList<EntryRef>> entries = queryEntries(*db, m_reg, date);
    const QList<EntryRef> rows = entries.value.value_or(QList<EntryRef>());
    m_summary->setText(rows.isEmpty()
            ? QStringLiteral("%1 はこの日の番組表に出走がありません。").arg(m_reg)
            : QStringLiteral("%1 の出走 %2 レース").arg(m_reg).arg(rows.size()));
    m_table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const EntryRef &e = rows[row];
        const QStringList fields { venueName(e.venueCode), QStringLiteral("%1R").arg(e.race),
            e.boat, e.deadline };
        for (int column = 0; column < fields.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(fields[column]));
        m_races.append({ e.date, e.venueCode, e.race });
    }
}

void FavouriteRacesWindow::onActivated(int row)
{
    if (row >= 0 && row < m_races.size())
        Q_EMIT raceChosen(m_races[row]);
}

} // namespace rusena
