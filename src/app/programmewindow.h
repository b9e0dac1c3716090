#pragma once

#include "celltablemodel.h"
#include "databasefn.h"
#include "library/formquery.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rusena {

/// 出走表: a race of a programme day with its entrants as the programme prints them, each
/// beside his form from the result days before that date, and the race's result where
/// the library holds it. The day is picked among the programme days, the venue and the
/// race among the programme's.
class ProgrammeWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ProgrammeWindow(DatabaseFn database, QWidget *parent = nullptr);

    /// Reloads the programme days and shows `race` (the newest day's first race where the
    /// library holds no such programme race; its venue's first race where it lacks the race).
    void showRace(const RaceRef &race);

    QComboBox *dayBox() const { return m_day; }
    QComboBox *venueBox() const { return m_venue; }
    QComboBox *raceBox() const { return m_race; }
    QComboBox *windowBox() const { return m_window; }
    QLabel *headerLabel() const { return m_header; }
    QTableWidget *table() const { return m_table; }
    QPushButton *showResultButton() const { return m_showResult; }
    /// The race on show; date invalid when none.
    RaceRef shownRace() const { return m_shown; }

Q_SIGNALS:
    /// An entrant was double-clicked (or Enter pressed on him): his registration number.
    void playerActivated(const QString &reg);
    /// The race's result is to be shown in the main window.
    void raceActivated(const rusena::RaceRef &race);
    void favouriteRacesRequested(const QDate &date);
    void openFilesRequested();

private:
    void fillDays(const QDate &wanted);
    void fillVenues(int wanted);
    void fillRaces(int wanted);
    void refresh();
    void onEntrantActivated(int row);
    void showFailure(const QString &why);

    DatabaseFn m_database;
    RaceRef m_shown;
    QList<std::pair<int, QList<int>>> m_venues;
    QComboBox *m_day = nullptr;
    QComboBox *m_venue = nullptr;
    QComboBox *m_race = nullptr;
    QComboBox *m_window = nullptr;
    QLabel *m_header = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_showResult = nullptr;
};

/// The meeting line above the table: title, day, race, distance and 締切予定.
QString programmeHeader(const library::ProgrammeRaceInfo &race);
/// Fills the table: a row a boat in its colours, the programme's figures, the form, and
/// the result's columns where `outcome` holds one (also what the benchmark fills).
void fillProgrammeTable(QTableWidget &table, const library::ProgrammeRaceForm &race,
    const std::optional<library::RaceOutcome> &outcome);

} // namespace rusena
