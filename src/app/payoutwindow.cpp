#include "payoutwindow.h"

#include "chartpane.h"
#include "dialogs.h"
#include "library/storedspan.h"
#include "periodbar.h"
#include "racetable.h"
#include "windowfit.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

namespace rusena {

using namespace library;

namespace {

QList<Cell> payoutCells(const PayoutRow &r, qint64 order)
{
    QList<Cell> cells { { QString(r.date).replace(u'-', u'/'), order },
        { venueName(r.venueCode), r.venueCode },
        numberCell(QString::number(r.race) + u'R', r.race) };
    for (int b = 0; b < BetCount; ++b) {
        const QList<PaidLine> &paid = r.bets[size_t(b)];
        const std::optional<qint64> yen = r.largestYen(Bet(b));
        cells << Cell { combinationText(paid), {} }
              << numberCell(yenText(paid), yen.value_or(-1), yenText(paid, false));
        if (!hasPopularity(Bet(b)))
            continue;
        qint64 popularity = -1;
        for (const PaidLine &p : paid)
            popularity = std::max<qint64>(popularity, p.popularity.value_or(-1));
        cells << numberCell(popularityText(paid), popularity);
    }
    cells << Cell { r.isVoid ? QStringLiteral("レース不成立") : QString(), {} };
    return cells;
}

QString yenOrDash(const std::optional<qint64> &yen)
{
    return yen ? groupedYen(*yen) + QStringLiteral(" 円") : QStringLiteral("－");
}

} // namespace

CellTableModel *newPayoutModel()
{
    QStringList header { QStringLiteral("日付"), QStringLiteral("場"), QStringLiteral("R") };
    // Each column named once, so that a file's columns are told apart by name.
    for (int b = 0; b < BetCount; ++b) {
        const QString bet = betName(Bet(b));
        header << bet << bet + QStringLiteral("払戻金");
        if (hasPopularity(Bet(b)))
            header << bet + QStringLiteral("人気");
    }
    header << QStringLiteral("備考");
    return new CellTableModel(header);
}

void fillPayoutModel(CellTableModel &model, const QList<PayoutRow> &rows)
{
    QList<QList<Cell>> cells;
    QList<RaceRef> races;
    cells.reserve(rows.size());
    races.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        cells.append(payoutCells(rows[i], i));
        races.append(
            { QDate::fromString(rows[i].date, Qt::ISODate), rows[i].venueCode, rows[i].race });
    }
    model.setRows(std::move(cells), std::move(races));
}

CountAxis countAxis(int highest)
{
    highest = std::max(1, highest);
    // 1, 2 and 5 times a power of ten, the smallest that needs no more than five steps.
    for (int scale = 1;; scale *= 10) {
        for (const int step : { scale, 2 * scale, 5 * scale }) {
            if ((highest + step - 1) / step <= 5)
                return { step, (highest + step - 1) / step * step };
        }
    }
}

PayoutWindow::PayoutWindow(DatabaseFn database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_database(std::move(database))
{
    setWindowTitle(QStringLiteral("払戻金一覧"));
    setObjectName(QStringLiteral("payouts"));
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    m_period = new PeriodBar(true, this);
    m_minimum = new QSpinBox(this);
    m_minimum->setObjectName(QStringLiteral("minimum"));
    m_minimum->setRange(0, 9999990);
    m_minimum->setSingleStep(1000);
    m_minimum->setGroupSeparatorShown(true);
    m_minimum->setSpecialValueText(QStringLiteral("指定なし"));
    m_minimum->setSuffix(QStringLiteral(" 円以上"));
    filters->addWidget(m_period, 1);
    filters->addWidget(new QLabel(QStringLiteral("３連単"), this));
    filters->addWidget(m_minimum);
    layout->addLayout(filters);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    layout->addWidget(m_summary);

    m_table = new RaceTable(newPayoutModel(), this);
    m_chart = newChartView(this);
    layout->addWidget(tableOverChart(m_table, m_chart, this), 1);
    layout->addWidget(m_table->makeExportButtons(this));

    connect(m_period, &PeriodBar::changed, this, &PayoutWindow::refresh);
    connect(m_minimum, &QSpinBox::valueChanged, this, &PayoutWindow::showRows);
    connect(m_table, &RaceTable::raceActivated, this, &PayoutWindow::raceActivated);
    fitToScreen(this, { 1100, 700 });
}

void PayoutWindow::showDay(const QDate &day)
{
    m_period->setPeriod({ day, day, 0 });
    refresh();
}

void PayoutWindow::refresh()
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    if (const QueryResult<DaySpan> span = storedSpan(*db); span.ok())
        m_period->setSpan(span.value->first, span.value->last);
    QueryResult<QList<PayoutRow>> rows = queryPayouts(*db, m_period->period());
    if (!rows.ok())
        return showFailure(rows.error);
    m_rows = std::move(*rows.value);
    m_table->setFileName(QStringLiteral("払戻金一覧_") + m_period->fileNamePart());
    showRows();
}

void PayoutWindow::showRows()
{
    const QList<PayoutRow> shown = withTrifectaAtLeast(m_rows, m_minimum->value());
    fillPayoutModel(*m_table->source(), shown);
    const PayoutSummary s = summarize(shown);
    m_summary->setText(
        QStringLiteral("レース数 %1　３連単 中央値 %2　最高 %3　10,000 円以上 %4 レース")
            .arg(s.races)
            .arg(yenOrDash(s.medianTrifecta), yenOrDash(s.largestTrifecta))
            .arg(s.trifecta10k));
    showChart(shown);
}

void PayoutWindow::showChart(const QList<PayoutRow> &rows)
{
    const auto counts = trifectaHistogram(rows);
    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("３連単の払戻金 (レース数)"));
    chart->legend()->hide();
    auto *set = new QBarSet(QStringLiteral("レース数"));
    QStringList bins;
    int highest = 0;
    for (size_t i = 0; i < counts.size(); ++i) {
        *set << counts[i];
        highest = std::max(highest, counts[i]);
        bins << groupedYen(TrifectaBins[i]) + u'～';
    }
    auto *series = new QBarSeries(chart);
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis(chart);
    x->append(bins);
    x->setTitleText(QStringLiteral("円"));
    // Counts are whole numbers: so are the ticks, and a bar of 2 stands at the tick 2.
    const CountAxis scale = countAxis(highest);
    auto *y = new QValueAxis(chart);
    y->setRange(0, scale.top);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(scale.step);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    replaceChart(m_chart, chart);
}

void PayoutWindow::showFailure(const QString &why)
{
    Dialogs::message(this,
        { QStringLiteral("払戻金一覧"),
            QStringLiteral("ライブラリを読めませんでした。(%1)").arg(why), MessageIcon::Warning });
}

} // namespace rusena
