#include "programmewindow.h"

#include "artwork.h"
#include "dialogs.h"
#include "library/period.h"
#include "library/ratio.h"
#include "race/screenmodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rusena {

using namespace library;

namespace {

const QStringList ProgrammeColumns { QStringLiteral("艇"), QStringLiteral("登番"),
    QStringLiteral("選手名"), QStringLiteral("級別"), QStringLiteral("支部"),
    QStringLiteral("年齢"), QStringLiteral("体重"), QStringLiteral("全国勝率"),
    QStringLiteral("全国2連率"), QStringLiteral("当地勝率"), QStringLiteral("当地2連率"),
    QStringLiteral("モーター"), QStringLiteral("モーター2連率"), QStringLiteral("ボート"),
    QStringLiteral("ボート2連率"), QStringLiteral("今節成績") };
const QStringList FormColumns { QStringLiteral("出走"), QStringLiteral("1着率"),
    QStringLiteral("2連対率"), QStringLiteral("勝率"), QStringLiteral("平均ST"),
    QStringLiteral("枠番コース"), QStringLiteral("直近10走") };
const QStringList ResultColumns { QStringLiteral("着"), QStringLiteral("進入"),
    QStringLiteral("ST") };
// How many boats' figures stand in the boat's colours: its number, registration, name.
constexpr int ColouredColumns = 3;

// The choices of how many recent starts the form counts, in the order of the box.
const QList<StartWindow> Windows { std::nullopt, 10, 30, 100 };

QStringList programmeFields(const ProgrammeEntrant &e)
{
    return { e.boat, e.reg, e.name, e.grade, e.branch, e.age, e.weight, e.nationalWinRate,
        e.nationalTop2Rate, e.localWinRate, e.localTop2Rate, e.motor, e.motorTop2Rate, e.boatNumber,
        e.boatTop2Rate, e.meetingResults };
}

QString percentOrDash(qint64 num, qint64 den)
{
    const QString text = percentText(num, den);
    return text.isEmpty() ? QStringLiteral("－") : text + QStringLiteral(" %");
}

QStringList formFields(const EntrantForm &f)
{
    const QString points = f.pointsAverage();
    const QString start = f.averageStart();
    return { QString::number(f.starts), percentOrDash(f.first, f.starts),
        percentOrDash(f.first + f.second, f.starts),
        points.isEmpty() ? QStringLiteral("－") : points,
        start.isEmpty() ? QStringLiteral("－") : start,
        QStringLiteral("%1走 %2勝").arg(f.courseStarts).arg(f.courseWins), f.recent.join(u' ') };
}

QStringList resultFields(const RaceOutcome &outcome, const QString &boat)
{
    if (outcome.isVoid)
        return { QStringLiteral("不成立"), QString(), QString() };
    const RaceOutcome::Boat b = outcome.boats.value(boat);
    return { b.placing, b.course, b.start };
}

void setRow(QTableWidget &table, int row, const QStringList &fields, int boat)
{
    const BoatColours colours = boatColours(boat);
    for (int column = 0; column < fields.size(); ++column) {
        auto *item = new QTableWidgetItem(fields[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        if (column < ColouredColumns) {
            item->setBackground(toColour(colours.body));
            item->setForeground(toColour(colours.text));
        }
        table.setItem(row, column, item);
    }
}

} // namespace

QString programmeHeader(const ProgrammeRaceInfo &race)
{
    QString day = race.meetingDay;
    if (!day.isEmpty() && day.front().isDigit())
        day = QStringLiteral("第%1日").arg(day);
    QString text
        = QStringLiteral("%1　%2 %3R　%4　%5")
              .arg(race.date.toString(QStringLiteral("yyyy/MM/dd")), venueName(race.venueCode))
              .arg(race.race)
              .arg(race.meetingTitle, day);
    text += QStringLiteral("\n%1%2　%3m　締切予定 %4")
                .arg(race.raceName, race.fixedEntry ? QStringLiteral("（進入固定）") : QString(),
                    race.distance, race.deadline.isEmpty() ? QStringLiteral("－") : race.deadline);
    return text;
}

void fillProgrammeTable(
    QTableWidget &table, const ProgrammeRaceForm &race, const std::optional<RaceOutcome> &outcome)
{
    QStringList header = ProgrammeColumns + FormColumns;
    if (outcome)
        header += ResultColumns;
    table.clear();
    table.setColumnCount(int(header.size()));
    table.setHorizontalHeaderLabels(header);
    table.setRowCount(int(race.entrants.size()));
    for (int row = 0; row < race.entrants.size(); ++row) {
        const ProgrammeEntrant &e = race.entrants[row];
        QStringList fields = programmeFields(e) + formFields(race.forms.value(row));
        if (outcome)
            fields += resultFields(*outcome, e.boat);
        setRow(table, row, fields, e.boat.toInt());
    }
}

ProgrammeWindow::ProgrammeWindow(DatabaseFn database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_database(std::move(database))
{
    setWindowTitle(QStringLiteral("出走表"));
    setObjectName(QStringLiteral("programme"));
    auto *layout = new QVBoxLayout(this);

    auto *choice = new QHBoxLayout;
    m_day = new QComboBox(this);
    m_day->setObjectName(QStringLiteral("day"));
    m_venue = new QComboBox(this);
    m_venue->setObjectName(QStringLiteral("venue"));
    m_race = new QComboBox(this);
    m_race->setObjectName(QStringLiteral("race"));
    m_window = new QComboBox(this);
    m_window->setObjectName(QStringLiteral("window"));
    m_window->addItems({ QStringLiteral("全走"), QStringLiteral("直近10走"),
        QStringLiteral("直近30走"), QStringLiteral("直近100走") });
    choice->addWidget(new QLabel(QStringLiteral("日付"), this));
    choice->addWidget(m_day);
    choice->addWidget(new QLabel(QStringLiteral("場"), this));
    choice->addWidget(m_venue);
    choice->addWidget(new QLabel(QStringLiteral("レース"), this));
    choice->addWidget(m_race);
    choice->addWidget(new QLabel(QStringLiteral("成績"), this));
    choice->addWidget(m_window);
    choice->addStretch(1);
    layout->addLayout(choice);

    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_header);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("entrants"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table, 1);

    auto *buttons = new QHBoxLayout;
    m_showResult = new QPushButton(QStringLiteral("結果をメイン画面に表示"), this);
    m_showResult->setObjectName(QStringLiteral("showResult"));
    auto *favourite = new QPushButton(QStringLiteral("お気に入り選手の出走..."), this);
    favourite->setObjectName(QStringLiteral("favouriteRaces"));
    auto *open = new QPushButton(QStringLiteral("番組表を開く..."), this);
    open->setObjectName(QStringLiteral("openProgrammes"));
    buttons->addWidget(m_showResult);
    buttons->addStretch(1);
    buttons->addWidget(favourite);
    buttons->addWidget(open);
    layout->addLayout(buttons);

    connect(m_day, &QComboBox::activated, this, [this] { fillVenues(m_shown.venueCode); });
    connect(m_venue, &QComboBox::activated, this, [this] { fillRaces(m_shown.race); });
    connect(m_race, &QComboBox::activated, this, &ProgrammeWindow::refresh);
    connect(m_window, &QComboBox::activated, this, &ProgrammeWindow::refresh);
    // A double-click, or Enter on the current row, as the other tables of the library.
    connect(m_table, &QTableWidget::activated, this,
        [this](const QModelIndex &index) { onEntrantActivated(index.row()); });
    connect(m_showResult, &QPushButton::clicked, this, [this] { Q_EMIT raceActivated(m_shown); });
    connect(favourite, &QPushButton::clicked, this,
        [this] { Q_EMIT favouriteRacesRequested(m_shown.date); });
    connect(open, &QPushButton::clicked, this, &ProgrammeWindow::openFilesRequested);
    resize(1200, 420);
}

void ProgrammeWindow::showRace(const RaceRef &race)
{
    m_shown = race;
    fillDays(race.date);
}

void ProgrammeWindow::fillDays(const QDate &wanted)
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const QueryResult<QList<QDate>> dates = queryProgrammeDates(*db);
    if (!dates.ok())
        return showFailure(dates.error);
    const QSignalBlocker blocker(m_day);
    m_day->clear();
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    for (const QDate &date : *dates.value)
        m_day->addItem(japanese.toString(date, QStringLiteral("yyyy/MM/dd (ddd)")), date);
    const int index = m_day->findData(wanted);
    m_day->setCurrentIndex(index >= 0 ? index : 0);
    fillVenues(m_shown.venueCode);
}

void ProgrammeWindow::fillVenues(int wanted)
{
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const QDate date = m_day->currentData().toDate();
    const auto venues = queryProgrammeRaces(*db, date);
    if (!venues.ok())
        return showFailure(venues.error);
    m_venues = *venues.value;
    const QSignalBlocker blocker(m_venue);
    m_venue->clear();
    for (const auto &[code, races] : m_venues)
        m_venue->addItem(venueName(code), code);
    const int index = m_venue->findData(wanted);
    m_venue->setCurrentIndex(index >= 0 ? index : 0);
    fillRaces(m_shown.race);
}

void ProgrammeWindow::fillRaces(int wanted)
{
    const QSignalBlocker blocker(m_race);
    m_race->clear();
    const int venue = m_venue->currentIndex();
    if (venue >= 0 && venue < m_venues.size()) {
        for (const int race : m_venues[venue].second)
            m_race->addItem(QStringLiteral("%1R").arg(race), race);
    }
    const int index = m_race->findData(wanted);
    m_race->setCurrentIndex(index >= 0 ? index : 0);
    refresh();
}

void ProgrammeWindow::refresh()
{
    m_shown = { m_day->currentData().toDate(), m_venue->currentData().toInt(),
        m_race->currentData().toInt() };
    m_table->clear();
    m_table->setRowCount(0);
    m_header->setText(m_day->count() == 0
            ? QStringLiteral("ライブラリに番組表がありません。番組表のファイル (B で始まる名前) "
                             "か書庫を「番組表を開く」から取り込んでください。")
            : QString());
    m_showResult->setEnabled(false);
    if (!m_shown.date.isValid() || m_shown.race == 0)
        return;
    const std::optional<QSqlDatabase> db = m_database();
    if (!db)
        return;
    const auto race = queryProgrammeRace(*db, m_shown.date, m_shown.venueCode, m_shown.race,
        Windows.value(m_window->currentIndex()));
    if (!race.ok())
        return showFailure(race.error);
    if (!*race.value)
        return;
    const auto outcome = queryRaceOutcome(*db, m_shown.date, m_shown.venueCode, m_shown.race);
    if (!outcome.ok())
        return showFailure(outcome.error);
    const std::optional<RaceOutcome> &result = *outcome.value;
    QString header = programmeHeader((*race.value)->race);
    if (result)
        header += result->isVoid ? QStringLiteral("　結果：レース不成立")
                                 : QStringLiteral("　結果：決まり手 %1").arg(result->technique);
    m_header->setText(header);
    fillProgrammeTable(*m_table, **race.value, result);
    m_table->resizeColumnsToContents();
    m_showResult->setEnabled(result.has_value());
}

void ProgrammeWindow::onEntrantActivated(int row)
{
    if (const QTableWidgetItem *reg = m_table->item(row, 1))
        Q_EMIT playerActivated(reg->text());
}

void ProgrammeWindow::showFailure(const QString &why)
{
    Dialogs::message(this,
        { QStringLiteral("出走表"), QStringLiteral("ライブラリを読めませんでした。(%1)").arg(why),
            MessageIcon::Warning });
}

} // namespace rusena
