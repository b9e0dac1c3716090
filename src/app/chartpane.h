#pragma once

class QChart;
class QChartView;
class QSplitter;
class QWidget;

namespace rusena {

/// A chart view for a library window, antialiased and never squeezed out of sight.
QChartView *newChartView(QWidget *parent);

/// A window's table above its chart, the table taking the larger share of the height.
QSplitter *tableOverChart(QWidget *table, QChartView *chart, QWidget *parent);

/// Shows `chart` in `view` and discards the chart it showed before.
void replaceChart(QChartView *view, QChart *chart);

} // namespace rusena
