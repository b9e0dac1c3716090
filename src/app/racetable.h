#pragma once

#include "celltablemodel.h"
#include "tableexport.h"

#include <QTableView>

class QSortFilterProxyModel;

namespace rusena {

/// A library window's table: read-only, whole rows, sortable by any column through a
/// proxy (numbers as numbers). Double-click or Enter on a race row says raceActivated();
/// Ctrl+C copies the table.
class RaceTable final : public QTableView {
    Q_OBJECT
public:
    RaceTable(CellTableModel *model, QWidget *parent = nullptr);

    CellTableModel *source() const { return m_source; }
    QSortFilterProxyModel *proxy() const { return m_proxy; }

    /// A row of two buttons, CSV 保存 and コピー, for this table.
    QWidget *makeExportButtons(QWidget *parent);
    /// The name CSV 保存 offers (without .csv), named for what is on show.
    void setFileName(const QString &name) { m_fileName = name; }
    QString fileName() const { return m_fileName + QStringLiteral(".csv"); }
    /// Columns the file puts before the table's.
    void setLeadingColumns(const LeadingColumns &leading) { m_leading = leading; }

Q_SIGNALS:
    void raceActivated(const rusena::RaceRef &race);

private:
    void onActivated(const QModelIndex &index);

    CellTableModel *m_source = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QString m_fileName;
    LeadingColumns m_leading;
};

} // namespace rusena
