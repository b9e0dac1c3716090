#include "tableexport.h"

#include "celltablemodel.h"
#include "dialogs.h"
#include "library/csvwriter.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QSaveFile>

namespace rusena {

QList<QStringList> tableText(const QAbstractItemModel &model, const LeadingColumns &leading)
{
    QList<QStringList> rows;
    QStringList header = leading.header;
    for (int c = 0; c < model.columnCount(); ++c)
        header << model.headerData(c, Qt::Horizontal).toString();
    rows << header;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row = leading.fields;
        for (int c = 0; c < model.columnCount(); ++c)
            row << model.index(r, c).data(CellTableModel::PlainRole).toString();
        rows << row;
    }
    return rows;
}

void exportTableCsv(QWidget *parent, const QAbstractItemModel &model, const QString &suggestedName,
    const LeadingColumns &leading)
{
    const std::optional<QString> path = Dialogs::saveCsvFile(parent, suggestedName);
    if (!path)
        return;
    const QList<QStringList> rows = tableText(model, leading);
    QSaveFile file(*path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        library::CsvWriter csv(file, rows.first());
        for (qsizetype i = 1; i < rows.size(); ++i)
            csv.writeRow(rows[i]);
        ok = csv.ok() && file.commit();
    }
    if (!ok) {
        Dialogs::message(parent,
            { QStringLiteral("CSV 出力"),
                QStringLiteral("%1 に書き込めませんでした。(%2)").arg(*path, file.errorString()),
                MessageIcon::Warning });
    }
}

void copyTable(const QAbstractItemModel &model)
{
    QStringList lines;
    for (const QStringList &row : tableText(model))
        lines << row.join(u'\t');
    QGuiApplication::clipboard()->setText(lines.join(u'\n') + u'\n');
}

} // namespace rusena
