#pragma once

#include "celltablemodel.h"
#include "databasefn.h"
#include "library/statsquery.h"

#include <QWidget>

class QChartView;

namespace rusena {

class PeriodBar;
class RaceTable;

/// 統計: per venue and entry course the figures of `rusena-library stats` (the same
/// query) as percentages, with 勝率, the winning techniques, and the 1着率 by course as
/// bars.
class StatsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit StatsWindow(DatabaseFn database, QWidget *parent = nullptr);

    void refresh();

    PeriodBar *periodBar() const { return m_period; }
    RaceTable *table() const { return m_table; }
    RaceTable *techniqueTable() const { return m_techniques; }
    QChartView *chartView() const { return m_chart; }

private:
    void showChart(const QList<library::CourseStats> &courses);

    DatabaseFn m_database;
    PeriodBar *m_period = nullptr;
    RaceTable *m_table = nullptr;
    RaceTable *m_techniques = nullptr;
    QChartView *m_chart = nullptr;
};

void fillStatsModel(CellTableModel &model, const QList<library::CourseStats> &courses);
CellTableModel *newStatsModel();

} // namespace rusena
