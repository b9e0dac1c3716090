#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

namespace rusena {

/// The header and the rows of `model` as they are shown (in its current sort), as text.
QList<QStringList> tableText(const QAbstractItemModel &model);

/// Asks for a file through Dialogs and writes the table there as CSV (BOM, CR LF); a
/// failed write leaves any earlier file whole and is shown as a warning.
void exportTableCsv(QWidget *parent, const QAbstractItemModel &model, const QString &suggestedName);

/// Puts the table on the clipboard as tab-separated lines, for pasting into a spreadsheet.
void copyTable(const QAbstractItemModel &model);

} // namespace rusena
