#pragma once

#include "celltablemodel.h"
#include "library/payoutquery.h"

#include <QSqlDatabase>
#include <QWidget>

class QChartView;
class QLabel;
class QSpinBox;

namespace rusena {

class PeriodBar;
class RaceTable;

/// 払戻金一覧: one row per race of a day or a period with the payouts of five bets; a
/// filter on the ３連単's size, figures over the rows shown and a histogram of them.
class PayoutWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PayoutWindow(QWidget *parent = nullptr);

    void setDatabase(const QSqlDatabase &db) { m_db = db; }
    /// Shows the payouts of one day, all venues.
    void showDay(const QDate &day);

    PeriodBar *periodBar() const { return m_period; }
    QSpinBox *minimumBox() const { return m_minimum; }
    QLabel *summaryLabel() const { return m_summary; }
    RaceTable *table() const { return m_table; }
    QChartView *chartView() const { return m_chart; }

Q_SIGNALS:
    void raceActivated(const rusena::RaceRef &race);

private:
    void refresh();
    void showRows();
    void showChart(const QList<library::PayoutRow> &rows);
    void showFailure(const QString &why);

    QSqlDatabase m_db;
    QList<library::PayoutRow> m_rows;
    PeriodBar *m_period = nullptr;
    QSpinBox *m_minimum = nullptr;
    QLabel *m_summary = nullptr;
    RaceTable *m_table = nullptr;
    QChartView *m_chart = nullptr;
};

void fillPayoutModel(CellTableModel &model, const QList<library::PayoutRow> &rows);
CellTableModel *newPayoutModel();

} // namespace rusena
