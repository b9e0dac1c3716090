#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

namespace rusena {

/// What a table's file holds besides its cells: columns put before the table's (the
/// player a history is of), with the one value they have in every row.
struct LeadingColumns final {
    QStringList header;
    QStringList fields;
};

/// The header and the rows of `model` in the order shown (its current sort), each cell as
/// a file gets it (plain numbers), after `leading`.
QList<QStringList> tableText(const QAbstractItemModel &model, const LeadingColumns &leading = {});

/// Asks for a file through Dialogs, offering `suggestedName`, and writes the table there as
/// CSV (BOM, CR LF); a failed write leaves any earlier file whole and is shown as a warning.
void exportTableCsv(QWidget *parent, const QAbstractItemModel &model, const QString &suggestedName,
    const LeadingColumns &leading = {});

/// Puts the table on the clipboard as tab-separated lines, for pasting into a spreadsheet.
void copyTable(const QAbstractItemModel &model);

} // namespace rusena
