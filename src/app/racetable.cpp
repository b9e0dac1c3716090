#include "racetable.h"

#include "tableexport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>

namespace rusena {

RaceTable::RaceTable(CellTableModel *model, QWidget *parent)
    : QTableView(parent)
    , m_source(model)
    , m_proxy(new QSortFilterProxyModel(this))
{
    m_source->setParent(this);
    m_proxy->setSourceModel(m_source);
    m_proxy->setSortRole(CellTableModel::SortRole);
    setModel(m_proxy);
    setSortingEnabled(true);
    // The source order (newest first, or by venue and course) stands until a header is clicked.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(this, &QTableView::activated, this, &RaceTable::onActivated);
    // Every column as wide as its widest text, so that nothing is cut off.
    connect(m_source, &QAbstractItemModel::modelReset, this, &QTableView::resizeColumnsToContents);
    auto *copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, [this] { copyTable(*m_proxy); });
}

void RaceTable::onActivated(const QModelIndex &index)
{
    if (const std::optional<RaceRef> race = m_source->raceAt(m_proxy->mapToSource(index).row()))
        Q_EMIT raceActivated(*race);
}

QWidget *RaceTable::makeExportButtons(QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *save = new QPushButton(QStringLiteral("CSV 保存"), box);
    save->setObjectName(QStringLiteral("exportCsv"));
    auto *copy = new QPushButton(QStringLiteral("コピー"), box);
    copy->setObjectName(QStringLiteral("copyTable"));
    layout->addStretch();
    layout->addWidget(save);
    layout->addWidget(copy);
    connect(save, &QPushButton::clicked, this,
        [this] { exportTableCsv(window(), *m_proxy, fileName(), m_leading); });
    connect(copy, &QPushButton::clicked, this, [this] { copyTable(*m_proxy); });
    return box;
}

} // namespace rusena
