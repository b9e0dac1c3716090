// Session's side of the race library: opening it, filing days, showing a stored day.

#include "session.h"

#include "importsummary.h"
#include "race/screenmodel.h"
#include "store/regularfile.h"

#include <QFile>
#include <QLocale>

namespace rusena {

namespace {

Message missingDayMessage(const QDate &date)
{
    return libraryErrorMessage(
        QStringLiteral("%1 の日のファイルが見つかりません。ライブラリを作り直して下さい。")
            .arg(date.toString(QStringLiteral("yyyy/MM/dd"))));
}

Message noNeighbourMessage(int step, bool libraryEmpty)
{
    QString text = libraryEmpty ? emptyLibraryHint()
        : step < 0              ? QStringLiteral("これより前の日はありません。")
                                : QStringLiteral("これより後の日はありません。");
    return { QStringLiteral("日付を選ぶ"), text, MessageIcon::Information, MessageButtons::Ok };
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!openRegularFile(file)) // a FIFO in its place would never end
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

library::Library &Session::library()
{
    if (!m_library)
        m_library = std::make_unique<library::Library>(m_folder.data);
    return *m_library;
}

void Session::releaseLibrary()
{
    library().close();
}

Outcome Session::prepareLibrary(const library::RebuildProgress &progress)
{
    library::Library &lib = library();
    if (lib.isOpen())
        return Outcome::success();
    const library::Status status = lib.open(progress);
    if (!status.ok())
        return Outcome::failure(Code::LibraryFailed, libraryErrorMessage(status.error));
    // The day the user had before the library existed goes into it, once: racek.dat, or
    // the day an import has just replaced. One the library cannot take (no venue section)
    // stays on show all the same.
    const std::optional<QByteArray> replaced = std::exchange(m_dayBeforeLibrary, std::nullopt);
    if (lib.wasCreated() && !std::exchange(m_firstDayFiled, true)) {
        const QByteArray before
            = replaced ? *replaced : readWholeFile(m_folder.racekPath()).value_or(QByteArray());
        if (!before.isEmpty())
            lib.importDay(QStringLiteral("racek.dat"), before);
    }
    return Outcome::success();
}

Outcome Session::openLibrary(const library::RebuildProgress &progress)
{
    const Outcome prepared = prepareLibrary(progress);
    if (prepared.ok())
        learnFiledDate();
    return prepared;
}

// racek.dat keeps no name: the library knows the day by its bytes' digest.
void Session::learnFiledDate()
{
    if (m_dayOnShowFiled || !library().isOpen())
        return;
    const std::optional<QByteArray> bytes = readWholeFile(m_folder.racekPath());
    if (!bytes)
        return;
    const QList<QDate> dates = library().datesOfDigest(library::dayDigest(*bytes));
    if (dates.isEmpty())
        return;
    // The same bytes filed under two dates: the header's date, when it is one of them.
    if (!dates.contains(m_dayOnShow))
        m_dayOnShow = dates.constFirst();
    m_dayOnShowFiled = true;
}

void Session::fileDayOnShow(const QString &fileName)
{
    m_filingWarning.reset();
    if (m_store.sectionBeginLines().empty())
        return; // a file without a venue section is no day to file
    const std::optional<QByteArray> bytes = readWholeFile(m_folder.racekPath());
    if (!bytes) {
        m_filingWarning = notFiledMessage(QStringLiteral("racek.dat を読めません。"));
        return;
    }
    const library::DayImport filed = library().importDay(fileName, *bytes);
    if (!filed.stored()) {
        m_filingWarning = notFiledMessage(filed.reason);
        return;
    }
    m_dayOnShow = filed.date;
    m_dayOnShowFiled = true;
}

Outcome Session::showStoredDay(const QDate &date)
{
    const Outcome opened = openLibrary();
    if (!opened.ok())
        return opened;
    QFile source(library().dayFiles().pathOf(date));
    if (!source.exists())
        return Outcome::failure(Code::LibraryFailed, missingDayMessage(date));
    Outcome taken = takeDay(source, library::DayFiles::storedName(date));
    if (taken.ok()) {
        taken.message.reset(); // the import's "copied" notice would only get in the way
        m_dayOnShow = date;
        m_dayOnShowFiled = true;
    }
    return taken;
}

Outcome Session::showRace(int venueCode, int race)
{
    selectVenue(int(m_screen.cmbItems.indexOf(m_tables.venueName(venueCode))));
    return selectRace(race);
}

Outcome Session::showNeighbourDay(int step)
{
    const Outcome opened = openLibrary();
    if (!opened.ok())
        return opened;
    const QList<library::StoredDay> days = library().storedDays(); // newest first
    QDate target;
    for (const library::StoredDay &day : days) {
        const bool fits = step < 0 ? (!m_dayOnShow.isValid() || day.date < m_dayOnShow)
                                   : (m_dayOnShow.isValid() && day.date > m_dayOnShow);
        if (fits && step < 0 && !target.isValid())
            target = day.date;
        if (fits && step > 0)
            target = day.date;
    }
    if (!target.isValid())
        return Outcome::failure(Code::NotFound, noNeighbourMessage(step, days.isEmpty()));
    const int venue = m_venueOnScreen;
    const int race = m_raceOnScreen;
    const Outcome shown = showStoredDay(target);
    // The fan goes on watching the same venue and race where the new day holds them.
    if (shown.ok() && venue > 0 && m_screen.cmbItems.contains(m_tables.venueName(venue)))
        showRace(venue, race); // a race the day does not hold leaves the venue chosen
    return shown;
}

Outcome Session::importBatch(const QStringList &paths, const library::BatchProgress &progress)
{
    library::BatchReport report;
    const Outcome filed = fileBatch(paths, progress, report);
    if (!filed.ok())
        return filed;
    return showBatch(report);
}

Outcome Session::fileBatch(
    const QStringList &paths, const library::BatchProgress &progress, library::BatchReport &report)
{
    const Outcome opened = prepareLibrary();
    if (!opened.ok())
        return opened;
    report = library::importSources(library(), library::collectSources(paths), progress);
    return Outcome::success();
}

Outcome Session::showBatch(const library::BatchReport &report)
{
    Message summary = importSummaryMessage(report);
    if (const QDate latest = report.latestDay(); latest.isValid()) {
        const Outcome shown = showStoredDay(latest);
        if (!shown.ok() && shown.message)
            summary.text += u'\n' + shown.message->text;
    }
    return Outcome::success(summary);
}

Outcome Session::finishFetch(const fetch::FetchReport &report)
{
    if (!report.error.isEmpty())
        return Outcome::failure(Code::LibraryFailed, libraryErrorMessage(report.error));
    // The failures are named, a line each, up to a screenful.
    constexpr int ShownFailures = 10;
    QString text = fetch::summaryText(report);
    int failures = 0;
    for (const fetch::FetchLine &line : report.lines) {
        if (line.result == fetch::FetchLine::Result::Failed && ++failures <= ShownFailures)
            text += u'\n' + fetch::lineText(line);
    }
    if (failures > ShownFailures)
        text += QStringLiteral("\nほか %1 件の失敗").arg(failures - ShownFailures);
    Message summary { QStringLiteral("最新データを取得"), text,
        failures > 0 ? MessageIcon::Warning : MessageIcon::Information, MessageButtons::Ok };
    if (const QDate latest = report.latestResultDay(); latest.isValid()) {
        const Outcome shown = showStoredDay(latest);
        if (!shown.ok() && shown.message)
            summary.text += u'\n' + shown.message->text;
    }
    return Outcome::success(summary);
}

Outcome Session::rebuildLibrary(const library::RebuildProgress &progress)
{
    const library::Status status = library().rebuild(progress);
    if (!status.ok())
        return Outcome::failure(Code::LibraryFailed, libraryErrorMessage(status.error));
    return Outcome::success({ QStringLiteral("ライブラリ"),
        QStringLiteral("ライブラリを作り直しました（%1 日）。").arg(library().storedDays().size()),
        MessageIcon::Information, MessageButtons::Ok });
}

Outcome Session::checkLibrary(const library::RebuildProgress &progress)
{
    const library::CheckReport report = library().check(progress);
    if (!report.status.ok())
        return Outcome::failure(Code::LibraryFailed,
            libraryErrorMessage(
                (report.findings + QStringList { report.status.error }).join(u'\n')));
    const QString text = report.findings.isEmpty()
        ? QStringLiteral("ライブラリに異常はありません（%1 日）。")
              .arg(library().storedDays().size())
        : QStringLiteral("次のことを見つけて直しました。\n") + report.findings.join(u'\n');
    return Outcome::success(
        { QStringLiteral("ライブラリ"), text, MessageIcon::Information, MessageButtons::Ok });
}

QString Session::windowTitle() const
{
    QString title = QStringLiteral("ルセナソフト");
    if (!m_dayOnShow.isValid())
        return title;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    title += QStringLiteral(" - ")
        + japanese.toString(m_dayOnShow, QStringLiteral("yyyy/MM/dd (ddd)"));
    if (m_venueOnScreen > 0)
        title += u' ' + m_tables.venueName(m_venueOnScreen) + u' ' + QString::number(m_raceOnScreen)
            + u'R';
    return title;
}

} // namespace rusena
