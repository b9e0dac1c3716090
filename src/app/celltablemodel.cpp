#include "celltablemodel.h"

namespace rusena {

CellTableModel::CellTableModel(QStringList header, QObject *parent)
    : QAbstractTableModel(parent)
    , m_header(std::move(header))
{
}

void CellTableModel::setRows(QList<QList<Cell>> rows, QList<RaceRef> races)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_races = std::move(races);
    endResetModel();
}

std::optional<RaceRef> CellTableModel::raceAt(int row) const
{
    if (row < 0 || row >= m_races.size())
        return std::nullopt;
    return m_races.at(row);
}

int CellTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_header.size());
}

QVariant CellTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QList<Cell> &row = m_rows.at(index.row());
    if (index.column() >= row.size())
        return {};
    const Cell &cell = row.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case SortRole:
        return cell.sortKey.isNull() ? QVariant(cell.text) : cell.sortKey;
    case PlainRole:
        return cell.plainText.isNull() ? cell.text : cell.plainText;
    case Qt::TextAlignmentRole:
        return QVariant((cell.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CellTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < m_header.size() ? QVariant(m_header.at(section)) : QVariant();
}

Cell rateCell(const QString &text)
{
    if (text.isEmpty())
        return numberCell(text, -1);
    // "77.3" as tenths: exact, and numbers sort as numbers.
    return numberCell(text, QString(text).remove(u'.').toLongLong());
}

} // namespace rusena
