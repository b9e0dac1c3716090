#pragma once

// One run of the viewer's core: every value the program keeps (the stored day, the name
// tables, the race on show, the settings, the last search) and the screen model of its
// windows. The view forwards each user event to one method here, shows the message the
// method returns, and then renders screen(). Nothing here touches a widget.

#include "favourites/favouritesearch.h"
#include "favourites/settings.h"
#include "fetch/fetchreport.h"
#include "library/importbatch.h"
#include "library/library.h"
#include "race/racestate.h"
#include "race/screenmodel.h"
#include "store/datafolder.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/outcome.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <memory>

#include <functional>

class QIODevice;

namespace rusena {

/// A file's bytes (racek.dat's, say), nothing when it cannot be read.
std::optional<QByteArray> readWholeFile(const QString &path);

/// Asks the user a question with OK and Cancel; true for OK.
using ConfirmFn = std::function<bool(const Message &)>;

/// What the registration dialog's OK ended with.
struct RegistrationSave final {
    std::optional<Message> message; ///< to show over the dialog, if any
    bool closesDialog = false; ///< only when player.dat was written
};

class Session final {
public:
    explicit Session(DataFolder folder);

    /// The start-up sequence. Returns the messages to show, in order, before the main
    /// window appears (none when the stored day and the folders are fine).
    QList<Message> startUp();

    /// File > 開く after the dialog closed with a file: takes the file (takeResultFile),
    /// opens the library and files the day (fileDayOnShow). The message is the import's;
    /// filingWarning() says when the day on show did not go into the library.
    Outcome importResultFile(const QString &path, const QString &fileName);
    /// The same with the chosen file already at hand as a device.
    Outcome importResultFile(QIODevice &source, const QString &fileName);
    /// Only the import: on success racek.dat holds the file, the day is reloaded and the
    /// returned message is the "copied" notice; otherwise nothing changed and the message
    /// is the warning. The library is not touched: should the next open make it, the day
    /// replaced here is filed first.
    Outcome takeResultFile(QIODevice &source, const QString &fileName);
    /// Files the day on show (racek.dat) under `fileName` into the open library; a day
    /// without a venue section is nothing to file. Sets filingWarning().
    void fileDayOnShow(const QString &fileName);
    /// Why the day on show was not filed by the last open of a file, if it was not.
    const std::optional<Message> &filingWarning() const { return m_filingWarning; }

    /// Opens the race library if it is not open yet (`progress` follows a rebuild it
    /// needs) and learns which stored day is on show. The first time the library is made,
    /// a racek.dat holding a result day is filed into it.
    Outcome openLibrary(const library::RebuildProgress &progress = {});
    /// The part of openLibrary that may run on a job's thread: it touches the library and
    /// the data folder only, never what the windows show.
    Outcome prepareLibrary(const library::RebuildProgress &progress = {});
    /// Closes the library's connection, which belongs to the thread that opened it: before
    /// a job opens it on its own thread, and on that thread when the job ends.
    void releaseLibrary();
    /// The race library, for the queries; opened on first use.
    library::Library &library();
    /// Makes stored day `date` the day on show the way an import does (racek.dat, the
    /// resets, the reload, the venue list), without the import's notice.
    Outcome showStoredDay(const QDate &date);
    /// Shows race `race` of venue `venueCode` of the day on show, as a pick of the venue
    /// and the race in the main window would.
    Outcome showRace(int venueCode, int race);
    /// The stored day before (step < 0) or after (step > 0) the day on show, with the
    /// venue and race on screen kept where the new day holds them.
    Outcome showNeighbourDay(int step);
    /// Files every day of `paths` (files and folders) into the library, then shows the
    /// latest day of the batch. The message is the batch's summary.
    Outcome importBatch(const QStringList &paths, const library::BatchProgress &progress = {});
    /// importBatch's part for a job's thread: opens the library and files the days.
    Outcome fileBatch(const QStringList &paths, const library::BatchProgress &progress,
        library::BatchReport &report);
    /// importBatch's part for the windows' thread: the summary, and the latest day shown.
    Outcome showBatch(const library::BatchReport &report);
    /// After a fetch: shows its latest result day as an import does; the message is the
    /// fetch's summary (with the days that failed, and why).
    Outcome finishFetch(const fetch::FetchReport &report);
    /// Makes the library's index anew from its raw day files (safe on a job's thread).
    Outcome rebuildLibrary(const library::RebuildProgress &progress = {});
    /// Reads the whole index and every raw day file, mends what does not agree (a
    /// rebuild follows `progress`) and says what was found.
    Outcome checkLibrary(const library::RebuildProgress &progress = {});
    /// The date the day on show was filed under (its header's date until the library has
    /// said); invalid when no day is on show.
    QDate dayOnShow() const { return m_dayOnShow; }
    /// The venue code and race on screen (0 when none).
    int venueOnScreen() const { return m_venueOnScreen; }
    int raceOnScreen() const { return m_raceOnScreen; }
    /// The main window's title: the program, the day on show, the venue and race on screen.
    QString windowTitle() const;

    /// Picks the venue list's item `index` (-1 for none).
    void selectVenue(int index);

    /// A click on race `race` (1..12) of the race list, for the venue shown in cmb.
    Outcome selectRace(int race);

    /// A double-click on the favourite row's first (1) or second (2) race label: shows
    /// that race. Nothing happens for a label that names no race.
    Outcome showFavouriteRace(int label);

    /// Menu 検索. `progress` is called as the walk advances, with the progress bar shown.
    Outcome searchFavourite(const ProgressFn &progress = {});

    /// The registration dialog's controls as the user left them.
    void setRegistrationText(const QString &text);
    void setRegistrationOption(int option);
    /// The registration dialog's OK: asks `confirm` first when the box is empty (Cancel
    /// saves nothing), then saves. The dialog stays open when the user declined or the
    /// write failed.
    RegistrationSave saveRegistration(const ConfirmFn &confirm);
    /// The question to ask before saving, when the registration box is empty.
    std::optional<Message> saveConfirmation() const;
    /// Writes the settings as the dialog shows them. On failure nothing in memory changed.
    Outcome saveSettings();

    const DataFolder &folder() const { return m_folder; }
    const LineStore &store() const { return m_store; }
    const NameTables &tables() const { return m_tables; }
    const RaceState &race() const { return m_race; }
    const Settings &settings() const { return m_settings; }
    const FavouriteResult &favourite() const { return m_favourite; }
    const ScreenModel &screen() const { return m_screen; }

private:
    bool loadStoredDay(QList<Message> &messages);
    void loadStoredSettings(QList<Message> &messages);
    Outcome takeDay(QIODevice &source, const QString &fileName);
    void learnFiledDate();
    void prepareAuxiliaryControls();
    void blankAfterFailedSelection();

    DataFolder m_folder;
    LineStore m_store;
    NameTables m_tables;
    RaceState m_race;
    Settings m_settings;
    FavouriteResult m_favourite;
    ScreenModel m_screen;
    std::unique_ptr<library::Library> m_library;
    QDate m_dayOnShow;
    bool m_dayOnShowFiled = false; ///< m_dayOnShow is the library's date, not the header's
    bool m_firstDayFiled = false; ///< the library's first use has filed racek.dat
    /// The day an import replaced while the library was closed ("" for none).
    std::optional<QByteArray> m_dayBeforeLibrary;
    std::optional<Message> m_filingWarning;
    int m_venueOnScreen = 0; ///< venue code of the race on screen, 0 for none
    int m_raceOnScreen = 0;
};

} // namespace rusena
