// Session's side of the race library: opening it, filing days, showing a stored day.

#include "session.h"

#include "importsummary.h"
#include "race/screenmodel.h"

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

Message noNeighbourMessage(int step)
{
    return { QStringLiteral("日付を選ぶ"),
        step < 0 ? QStringLiteral("これより前の日はありません。")
                 : QStringLiteral("これより後の日はありません。"),
        MessageIcon::Information, MessageButtons::Ok };
}

} // namespace

library::Library &Session::library()
{
    if (!m_library)
        m_library = std::make_unique<library::Library>(m_folder.data);
    return *m_library;
}

Outcome Session::openLibrary(const library::RebuildProgress &progress)
{
    library::Library &lib = library();
    if (lib.isOpen())
        return Outcome::success();
    const library::Status status = lib.open(progress);
    if (!status.ok())
        return Outcome::failure(Code::LibraryFailed, libraryErrorMessage(status.error));
    if (lib.wasCreated())
        fileRacekDay(QStringLiteral("racek.dat"));
    return Outcome::success();
}

// Files the day now in racek.dat under the name it came with. A file the library cannot
// take (one without a venue section) stays on show all the same, as before the library.
void Session::fileRacekDay(const QString &fileName)
{
    QFile file(m_folder.racekPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() == QFileDevice::NoError)
        library().importDay(fileName, bytes);
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
    if (taken.ok())
        taken.message.reset(); // the import's "copied" notice would only get in the way
    return taken;
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
        return Outcome::failure(Code::NotFound, noNeighbourMessage(step));
    return showStoredDay(target);
}

Outcome Session::importBatch(const QStringList &paths, const library::BatchProgress &progress)
{
    const Outcome opened = openLibrary();
    if (!opened.ok())
        return opened;
    const library::BatchReport report
        = library::importSources(library(), library::collectSources(paths), progress);
    Message summary = importSummaryMessage(report);
    if (const QDate latest = report.latestDay(); latest.isValid()) {
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
