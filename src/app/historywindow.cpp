#include "historywindow.h"

#include "chartpane.h"
#include "dialogs.h"
#include "library/period.h"
#include "library/ratio.h"
#include "library/storedspan.h"
#include "periodbar.h"
#include "racetable.h"
#include "windowfit.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace rusena {

using namespace library;

namespace {

// Sort keys for marks: after every placing and every timing.
constexpr qint64 NoNumber = 1000;

// Ticks at midnights a whole number of days apart, so that no two labels read the same
// day: the span from `first` to the day after `last` is widened to a multiple of the steps.
void setDayTicks(QDateTimeAxis *axis, QDate first, QDate last)
{
    if (!first.isValid())
        first = last = QDate::currentDate();
    const qint64 days = first.daysTo(last) + 1;
    const qint64 steps = std::min<qint64>(6, days);
    const qint64 perStep = (days + steps - 1) / steps;
    const QDate end = first.addDays(steps * perStep);
    axis->setRange(first.startOfDay(), end.startOfDay());
    axis->setTickCount(int(steps) + 1);
    // Over a year's turn the month and day alone would repeat.
    axis->setFormat(first.year() == end.year() ? QStringLiteral("M/d") : QStringLiteral("yy/M/d"));
}

QList<Cell> historyCells(const HistoryRow &r, qint64 order)
{
    const QString course = r.course ? QString::number(*r.course) : QString();
    return { { QString(r.date).replace(u'-', u'/'), order },
        { venueName(r.venueCode), r.venueCode }, numberCell(QString::number(r.race) + u'R', r.race),
        { r.heading, {} }, numberCell(r.boat, r.boat.toLongLong()),
        numberCell(course, r.course.value_or(NoNumber)),
        numberCell(r.start, r.startHundredths.value_or(NoNumber)),
        numberCell(r.placing, r.rank.value_or(NoNumber)), { r.raceTime, {} }, { r.technique, {} } };
}

} // namespace

CellTableModel *newHistoryModel()
{
    return new CellTableModel({ QStringLiteral("日付"), QStringLiteral("場"), QStringLiteral("R"),
        QStringLiteral("種別"), QStringLiteral("艇"), QStringLiteral("進入"), QStringLiteral("ST"),
        QStringLiteral("着"), QStringLiteral("タイム"), QStringLiteral("決まり手") });
}

void fillHistoryModel(CellTableModel &model, const QList<HistoryRow> &rows)
{
    QList<QList<Cell>> cells;
    QList<RaceRef> races;
    cells.reserve(rows.size());
    races.reserve(rows.size());
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const HistoryRow &r = rows[i];
        cells.append(historyCells(r, i));
        races.append({ QDate::fromString(r.date, Qt::ISODate), r.venueCode, r.race });
    }
    model.setRows(std::move(cells), std::move(races));
}

HistoryWindow::HistoryWindow(DatabaseFn database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_database(std::move(database))
{
    setWindowTitle(QStringLiteral("選手成績"));
    setObjectName(QStringLiteral("history"));
    auto *layout = new QVBoxLayout(this);

    auto *search = new QHBoxLayout;
    m_player = new QLineEdit(this);
    m_player->setObjectName(QStringLiteral("player"));
    m_player->setPlaceholderText(QStringLiteral("登録番号または名前の一部"));
    auto *button = new QPushButton(QStringLiteral("検索"), this);
    search->addWidget(new QLabel(QStringLiteral("選手"), this));
    search->addWidget(m_player, 1);
    search->addWidget(button);
    layout->addLayout(search);

    m_period = new PeriodBar(true, this);
    layout->addWidget(m_period);

    m_matches = new QListWidget(this);
    m_matches->setObjectName(QStringLiteral("matches"));
    m_matches->hide();
    layout->addWidget(m_matches);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    m_table = new RaceTable(newHistoryModel(), this);
    m_chart = newChartView(this);
    layout->addWidget(tableOverChart(m_table, m_chart, this), 1);
    layout->addWidget(m_table->makeExportButtons(this));
    nameExport(QString());

    connect(m_player, &QLineEdit::returnPressed, this, &HistoryWindow::onSearch);
    connect(button, &QPushButton::clicked, this, &HistoryWindow::onSearch);
    connect(m_matches, &QListWidget::itemActivated, this, &HistoryWindow::onMatchActivated);
    connect(m_period, &PeriodBar::changed, this, &HistoryWindow::refresh);
    connect(m_table, &RaceTable::raceActivated, this, &HistoryWindow::raceActivated);
    fitToScreen(this, { 900, 700 });
}

void HistoryWindow::lookUp(const QString &text)
{
    m_player->setText(text);
    onSearch();
}

void HistoryWindow::selectSearchText()
{
    m_player->setFocus(Qt::ActiveWindowFocusReason);
    m_player->selectAll();
}

void HistoryWindow::nameExport(const QString &name)
{
    QString file = QStringLiteral("選手成績");
    if (!m_reg.isEmpty())
        file += u'_' + m_reg + u'_' + nameKey(name);
    m_table->setFileName(file + u'_' + m_period->fileNamePart());
    m_table->setLeadingColumns(
        { { QStringLiteral("登録番号"), QStringLiteral("選手名") }, { m_reg, name } });
}

void HistoryWindow::onSearch()
{
    // Full-width digits typed by an input method are the same number.
    const QString text = m_player->text().normalized(QString::NormalizationForm_KC).trimmed();
    m_matches->hide();
    if (isRegistrationNumber(text)) {
        showPlayer(text);
        return;
    }
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const QueryResult<QList<PlayerMatch>> found = findPlayers(*db, text);
    if (!found.ok())
        return showFailure(found.error);
    if (found.value->size() == 1)
        return showPlayer(found.value->first().reg);
    showPlayer(QString());
    if (found.value->isEmpty())
        m_summary->setText(QStringLiteral("該当する選手がいません。"));
    else
        showMatches(*found.value);
}

void HistoryWindow::showMatches(const QList<PlayerMatch> &players)
{
    m_matches->clear();
    for (const PlayerMatch &p : players) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1  %2  (%3 走)").arg(p.reg, p.name).arg(p.starts), m_matches);
        item->setData(Qt::UserRole, p.reg);
    }
    // Every player in view up to a dozen (more scroll), none cut in half.
    const int shown = int(std::min<qsizetype>(players.size(), 12));
    m_matches->setFixedHeight(m_matches->sizeHintForRow(0) * shown + 2 * m_matches->frameWidth());
    m_matches->setCurrentRow(0);
    m_matches->show();
    m_summary->setText(
        QStringLiteral("%1 人の選手が該当します。選んでください。").arg(players.size()));
}

void HistoryWindow::onMatchActivated(QListWidgetItem *item)
{
    showPlayer(item->data(Qt::UserRole).toString());
}

void HistoryWindow::showPlayer(const QString &reg)
{
    m_reg = reg;
    refresh();
}

void HistoryWindow::refresh()
{
    if (m_reg.isEmpty()) {
        fillHistoryModel(*m_table->source(), {});
        showChart({});
        m_summary->clear();
        nameExport(QString());
        return;
    }
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    if (const QueryResult<DaySpan> span = storedSpan(*db); span.ok())
        m_period->setSpan(span.value->first, span.value->last);
    const QueryResult<QList<HistoryRow>> rows = queryHistory(*db, m_reg, m_period->period());
    if (!rows.ok())
        return showFailure(rows.error);
    fillHistoryModel(*m_table->source(), *rows.value);
    const QString name = rows.value->isEmpty() ? QString() : rows.value->last().name;
    showSummary(summarize(*rows.value), name);
    showChart(*rows.value);
    nameExport(name);
}

void HistoryWindow::showSummary(const HistorySummary &s, const QString &name)
{
    const auto orDash = [](const QString &t) { return t.isEmpty() ? QStringLiteral("－") : t; };
    const auto percent
        = [](const QString &t) { return t.isEmpty() ? QStringLiteral("－") : t + u'%'; };
    QString courses = QStringLiteral("コース別");
    for (int c = 1; c <= 6; ++c) {
        courses += QStringLiteral("　%1: %2走 1着率 %3 勝率 %4")
                       .arg(c)
                       .arg(s.startsByCourse[size_t(c)])
                       .arg(percent(s.courseFirstShare(c)), orDash(s.coursePointsAverage(c)));
    }
    m_summary->setText(
        QStringLiteral("%1 %2　出走 %3　1着 %4　2着 %5　3着 %6　F %7　L %8\n"
                       "勝率 %9　1着率 %10　2連対率 %11　3連対率 %12　平均ST %13\n")
            .arg(m_reg, name)
            .arg(s.starts)
            .arg(s.first)
            .arg(s.second)
            .arg(s.third)
            .arg(s.flying)
            .arg(s.late)
            .arg(orDash(s.pointsAverage()), percent(percentText(s.topN(1), s.starts)),
                percent(percentText(s.topN(2), s.starts)),
                percent(percentText(s.topN(3), s.starts)), orDash(s.averageStart()))
        + courses);
}

void HistoryWindow::showChart(const QList<HistoryRow> &rows)
{
    // More races than this are a smear of points on a chart of this width, and each run of
    // days is a series to lay out: the chart shows the period's last ones, the table all.
    constexpr qsizetype ChartRaces = 300;
    const qsizetype skipped = std::max<qsizetype>(0, rows.size() - ChartRaces);
    auto *chart = new QChart;
    chart->setTitle(skipped > 0 ? QStringLiteral("着順の推移（直近 %1 走）").arg(ChartRaces)
                                : QStringLiteral("着順の推移"));
    chart->legend()->hide();
    auto *points = new QScatterSeries(chart);
    points->setMarkerSize(7);
    // A line joins the races of one meeting (days in a row); a gap between meetings stays
    // empty, for no race was run there.
    QList<QLineSeries *> runs;
    QDate first, last;
    QString day;
    int ofDay = 0;
    for (const HistoryRow &r : rows.mid(skipped)) {
        ofDay = r.date == day ? ofDay + 1 : 0;
        day = r.date;
        if (!r.rank || r.isVoid)
            continue;
        const QDate date = QDate::fromString(r.date, Qt::ISODate);
        if (runs.isEmpty() || last.daysTo(date) > 1)
            runs.append(new QLineSeries(chart));
        first = first.isValid() ? first : date;
        last = date;
        // Races of one day are spread over its hours so that they do not fall on one point.
        const qint64 when = QDateTime(date, QTime(ofDay * 2 % 24, 0)).toMSecsSinceEpoch();
        runs.last()->append(when, *r.rank);
        points->append(when, *r.rank);
    }
    auto *x = new QDateTimeAxis(chart);
    setDayTicks(x, first, last);
    auto *y = new QValueAxis(chart);
    y->setRange(0.5, 6.5);
    y->setReverse(true); // first place on top
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(1);
    y->setTickInterval(1);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("着順"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    // With nothing to draw the chart says what to do, instead of an axis of one day.
    if (!first.isValid()) {
        x->setVisible(false);
        y->setVisible(false);
        chart->setTitle(m_reg.isEmpty()
                ? QStringLiteral("選手の登録番号か名前を入れると、着順の推移を表示します。")
                : QStringLiteral("この期間に着順のついた出走はありません。"));
    }
    QList<QAbstractSeries *> series(runs.begin(), runs.end());
    series.append(points);
    for (QAbstractSeries *s : series) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    replaceChart(m_chart, chart);
}

void HistoryWindow::showFailure(const QString &why)
{
    Dialogs::message(this,
        { QStringLiteral("選手成績"), QStringLiteral("ライブラリを読めませんでした。(%1)").arg(why),
            MessageIcon::Warning });
}

} // namespace rusena
