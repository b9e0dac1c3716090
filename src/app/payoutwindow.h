#pragma once

#include "celltablemodel.h"
#include "databasefn.h"
#include "library/payoutquery.h"

#include <QWidget>

class QChartView;
class QLabel;
class QSpinBox;

namespace rusena {

class PeriodBar;
class RaceTable;

/// 払戻金一覧: one row per race of a day or a period with the payouts of every bet; a
/// filter on the ３連単's size, figures over the rows shown and a histogram of them.
class PayoutWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PayoutWindow(DatabaseFn database, QWidget *parent = nullptr);

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

    DatabaseFn m_database;
    QList<library::PayoutRow> m_rows;
    PeriodBar *m_period = nullptr;
    QSpinBox *m_minimum = nullptr;
    QLabel *m_summary = nullptr;
    RaceTable *m_table = nullptr;
    QChartView *m_chart = nullptr;
};

void fillPayoutModel(CellTableModel &model, const QList<library::PayoutRow> &rows);
CellTableModel *newPayoutModel();

/// A count axis's step and top for counts up to `highest`: whole numbers, at most about
/// five steps, the top a whole number of steps at or above `highest`.
struct CountAxis final {
    int step = 1;
    int top = 1;
};
CountAxis countAxis(int highest);

} // namespace rusena
