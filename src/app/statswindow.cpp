#include "statswindow.h"

#include "chartpane.h"
#include "dialogs.h"
#include "library/ratio.h"
#include "library/storedspan.h"
#include "periodbar.h"
#include "racetable.h"
#include "windowfit.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QValueAxis>

namespace rusena {

using namespace library;

namespace {

QList<Cell> statsCells(const CourseStats &c)
{
    // Every venue together sorts after the venues, as the command writes it.
    return { { c.venueCode == 0 ? QStringLiteral("全場") : venueName(c.venueCode),
                 qint64(c.venueCode == 0 ? 99 : c.venueCode) },
        numberCell(QString::number(c.course), c.course),
        numberCell(QString::number(c.starts), c.starts),
        numberCell(QString::number(c.first), c.first),
        numberCell(QString::number(c.second), c.second),
        numberCell(QString::number(c.third), c.third), rateCell(c.pointsAverage()),
        rateCell(percentText(c.topN(1), c.starts)), rateCell(percentText(c.topN(2), c.starts)),
        rateCell(percentText(c.topN(3), c.starts)), rateCell(c.averageStart()) };
}

CellTableModel *newTechniqueModel()
{
    return new CellTableModel(
        { QStringLiteral("決まり手"), QStringLiteral("回数"), QStringLiteral("割合(%)") });
}

void fillTechniqueModel(CellTableModel &model, const QList<TechniqueCount> &techniques)
{
    QList<QList<Cell>> cells;
    for (const TechniqueCount &t : techniques)
        cells.append({ { t.technique, {} }, numberCell(QString::number(t.races), t.races),
            rateCell(t.share) });
    model.setRows(std::move(cells));
}

} // namespace

CellTableModel *newStatsModel()
{
    return new CellTableModel({ QStringLiteral("場"), QStringLiteral("コース"),
        QStringLiteral("出走"), QStringLiteral("1着"), QStringLiteral("2着"), QStringLiteral("3着"),
        QStringLiteral("勝率"), QStringLiteral("1着率(%)"), QStringLiteral("2連対率(%)"),
        QStringLiteral("3連対率(%)"), QStringLiteral("平均ST") });
}

void fillStatsModel(CellTableModel &model, const QList<CourseStats> &courses)
{
    QList<QList<Cell>> cells;
    cells.reserve(courses.size());
    for (const CourseStats &c : courses)
        cells.append(statsCells(c));
    model.setRows(std::move(cells));
}

StatsWindow::StatsWindow(DatabaseFn database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_database(std::move(database))
{
    setWindowTitle(QStringLiteral("統計"));
    setObjectName(QStringLiteral("stats"));
    auto *layout = new QGridLayout(this);
    m_period = new PeriodBar(true, this);
    m_table = new RaceTable(newStatsModel(), this);
    m_techniques = new RaceTable(newTechniqueModel(), this);
    m_chart = newChartView(this);
    layout->addWidget(m_period, 0, 0, 1, 2);
    layout->addWidget(m_table, 1, 0);
    layout->addWidget(m_table->makeExportButtons(this), 2, 0);
    layout->addWidget(m_techniques, 1, 1);
    layout->addWidget(m_techniques->makeExportButtons(this), 2, 1);
    layout->addWidget(m_chart, 3, 0, 1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 3);
    layout->setRowStretch(3, 2);
    connect(m_period, &PeriodBar::changed, this, &StatsWindow::refresh);
    fitToScreen(this, { 1000, 760 });
}

void StatsWindow::refresh()
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    if (const QueryResult<DaySpan> span = storedSpan(*db); span.ok())
        m_period->setSpan(span.value->first, span.value->last);
    const QueryResult<StatsReport> report = queryStats(*db, m_period->period());
    if (!report.ok()) {
        Dialogs::message(this,
            { QStringLiteral("統計"),
                QStringLiteral("ライブラリを読めませんでした。(%1)").arg(report.error),
                MessageIcon::Warning });
        return;
    }
    fillStatsModel(*m_table->source(), report.value->courses);
    fillTechniqueModel(*m_techniques->source(), report.value->techniques);
    m_table->setFileName(QStringLiteral("統計_") + m_period->fileNamePart());
    m_techniques->setFileName(QStringLiteral("決まり手_") + m_period->fileNamePart());
    showChart(report.value->courses);
}

void StatsWindow::showChart(const QList<CourseStats> &courses)
{
    // The last six rows are every venue together, or the one venue chosen.
    const QList<CourseStats> shown = courses.mid(std::max<qsizetype>(0, courses.size() - 6));
    auto *chart = new QChart;
    const int venue = m_period->period().venue;
    chart->setTitle(QStringLiteral("コース別1着率 (%1)")
                        .arg(venue == 0 ? QStringLiteral("全場") : venueName(venue)));
    chart->legend()->hide();
    auto *set = new QBarSet(QStringLiteral("1着率"));
    QStringList labels;
    for (const CourseStats &c : shown) {
        // The figure under each bar is the table's text (one decimal, which the chart's own
        // labels cannot keep for 50.0); the bar stands at it.
        const QString share = percentText(c.first, c.starts);
        *set << (share.isEmpty() ? 0.0 : share.toDouble());
        labels << QStringLiteral("%1: %2").arg(c.course).arg(
            share.isEmpty() ? QStringLiteral("－") : share + u'%');
    }
    auto *series = new QBarSeries(chart);
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis(chart);
    x->append(labels);
    auto *y = new QValueAxis(chart);
    y->setRange(0, 100);
    y->setLabelFormat(QStringLiteral("%d%%"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    replaceChart(m_chart, chart);
}

} // namespace rusena
