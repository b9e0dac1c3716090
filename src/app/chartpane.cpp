#include "chartpane.h"

#include <QChartView>
#include <QSplitter>

namespace rusena {

QChartView *newChartView(QWidget *parent)
{
    auto *view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(180);
    return view;
}

QSplitter *tableOverChart(QWidget *table, QChartView *chart, QWidget *parent)
{
    auto *splitter = new QSplitter(Qt::Vertical, parent);
    splitter->addWidget(table);
    splitter->addWidget(chart);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    return splitter;
}

void replaceChart(QChartView *view, QChart *chart)
{
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
}

} // namespace rusena
