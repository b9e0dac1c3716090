#pragma once

// One run of the viewer's core: every value the program keeps (the stored day, the name
// tables, the race on show, the settings, the last search) and the screen model of its
// windows. The view forwards each user event to one method here, shows the message the
// method returns, and then renders screen(). Nothing here touches a widget.

#include "favourites/favouritesearch.h"
#include "favourites/settings.h"
#include "race/racestate.h"
#include "race/screenmodel.h"
#include "store/datafolder.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/outcome.h"

#include <QList>

#include <functional>

class QIODevice;

namespace rusena {

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

    /// File > 開く after the dialog closed with a file. On success racek.dat holds the
    /// file, the day is reloaded and the returned message is the "copied" notice;
    /// otherwise nothing changed and the message is the warning.
    Outcome importResultFile(const QString &path, const QString &fileName);
    /// The same with the chosen file already at hand as a device.
    Outcome importResultFile(QIODevice &source, const QString &fileName);

    /// Picks the venue list's item `index` (-1 for none).
    void selectVenue(int index);

    /// A click on race `race` (1..12) of the race list, for the venue shown in cmb.
    Outcome selectRace(int race);

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

    const LineStore &store() const { return m_store; }
    const NameTables &tables() const { return m_tables; }
    const RaceState &race() const { return m_race; }
    const Settings &settings() const { return m_settings; }
    const FavouriteResult &favourite() const { return m_favourite; }
    const ScreenModel &screen() const { return m_screen; }

private:
    bool loadStoredDay(QList<Message> &messages);
    void loadStoredSettings(QList<Message> &messages);
    void prepareAuxiliaryControls();
    void blankAfterFailedSelection();

    DataFolder m_folder;
    LineStore m_store;
    NameTables m_tables;
    RaceState m_race;
    Settings m_settings;
    FavouriteResult m_favourite;
    ScreenModel m_screen;
};

} // namespace rusena
