#pragma once

#include "celltablemodel.h"
#include "databasefn.h"
#include "library/historyquery.h"

#include <QWidget>

class QChartView;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace rusena {

class PeriodBar;
class RaceTable;

/// 選手成績: a player's races in a period, newest first, with the summary above and the
/// placings over time below. A name that fits several players offers the list.
class HistoryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(DatabaseFn database, QWidget *parent = nullptr);

    /// Looks up `text` (registration number or part of a name) as if typed and searched.
    void lookUp(const QString &text);
    /// Selects the search box's text, so that what is typed replaces it.
    void selectSearchText();

    QLineEdit *playerEdit() const { return m_player; }
    QListWidget *matchList() const { return m_matches; }
    QLabel *summaryLabel() const { return m_summary; }
    PeriodBar *periodBar() const { return m_period; }
    RaceTable *table() const { return m_table; }
    QChartView *chartView() const { return m_chart; }
    /// The registration number on show, "" when none.
    QString shownPlayer() const { return m_reg; }

Q_SIGNALS:
    void raceActivated(const rusena::RaceRef &race);

private:
    void onSearch();
    void onMatchActivated(QListWidgetItem *item);
    void showPlayer(const QString &reg);
    void refresh();
    void showSummary(const library::HistorySummary &s, const QString &name);
    void showChart(const QList<library::HistoryRow> &rows);
    void showMatches(const QList<library::PlayerMatch> &players);
    void showFailure(const QString &why);
    void nameExport(const QString &name);

    DatabaseFn m_database;
    QString m_reg;
    QLineEdit *m_player = nullptr;
    QListWidget *m_matches = nullptr;
    PeriodBar *m_period = nullptr;
    QLabel *m_summary = nullptr;
    RaceTable *m_table = nullptr;
    QChartView *m_chart = nullptr;
};

/// The table of a player's races, newest first (also what the benchmark fills).
void fillHistoryModel(CellTableModel &model, const QList<library::HistoryRow> &rows);
CellTableModel *newHistoryModel();

} // namespace rusena
