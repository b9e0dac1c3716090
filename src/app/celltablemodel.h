#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace rusena {

/// The race a table row stands for, to open it in the main window.
struct RaceRef final {
    QDate date;
    int venueCode = 0;
    int race = 0;
};

/// One cell: the text shown and the key it sorts by (a number where the column holds
/// numbers, so that 10 comes after 9; null to sort by the text). Numbers stand right,
/// text (a venue's name, a date) left, in every window.
struct Cell final {
    Cell(QString text = {}, QVariant sortKey = {}, bool number = false, QString plainText = {})
        : text(std::move(text))
        , sortKey(std::move(sortKey))
        , number(number)
        , plainText(std::move(plainText))
    {
    }

    QString text;
    QVariant sortKey;
    bool number = false;
    /// What a CSV file or the clipboard gets where it differs from the text (1580 for the
    /// 1,580 shown); null for the text itself.
    QString plainText;
};

/// A read-only table the library windows fill from a query's rows.
class CellTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int SortRole = Qt::UserRole + 1;
    /// The cell as a file gets it: plain numbers.
    static constexpr int PlainRole = Qt::UserRole + 2;

    explicit CellTableModel(QStringList header, QObject *parent = nullptr);

    /// Replaces every row; `races` is empty or holds one race a row.
    void setRows(QList<QList<Cell>> rows, QList<RaceRef> races = {});
    /// The race of source row `row`, or none for a table whose rows are no races.
    std::optional<RaceRef> raceAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_header;
    QList<QList<Cell>> m_rows;
    QList<RaceRef> m_races;
};

/// A number cell; `text` as shown, `key` for sorting.
inline Cell numberCell(const QString &text, qint64 key, const QString &plainText = {})
{
    return { text, key, true, plainText };
}
/// A cell whose text may be empty (a rate without starts): it sorts below every number.
Cell rateCell(const QString &text);

} // namespace rusena
