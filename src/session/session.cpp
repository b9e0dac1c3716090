#include "session.h"

#include "favourites/registration.h"
#include "importsummary.h"
#include "library/daydate.h"
#include "race/panelfill.h"
#include "race/raceparser.h"
#include "race/raceselection.h"
#include "store/cp932.h"
#include "store/regularfile.h"
#include "store/resultimport.h"
#include "store/resultlayout.h"
#include "store/venuelist.h"

#include <QFile>

namespace rusena {

namespace {

Message noDataMessage()
{
    return { QStringLiteral("レース結果ファイル読み込み"),
        QStringLiteral("始めにレース結果ファイルを読み込んで下さい。"), MessageIcon::Information,
        MessageButtons::Ok };
}

Message noDecoderMessage()
{
    return { QStringLiteral("文字コード変換エラー"),
        QStringLiteral("シフトJISの変換機能を開けませんでした。レース結果を表示できません。"),
        MessageIcon::Warning, MessageButtons::Ok };
}

Message storedDayUnreadableMessage()
{
    return { QStringLiteral("読み込みエラー"),
        QStringLiteral("レース結果ファイルを読み込めませんでした。"), MessageIcon::Warning,
        MessageButtons::Ok };
}

// The date of the day in the store: its first venue section's header date.
QDate firstSectionDate(const LineStore &store)
{
    if (store.sectionBeginLines().empty())
        return {};
    return layout::sectionDate(
        store.line(store.sectionBeginLines().front() + layout::DateLineOffset));
}

} // namespace

Session::Session(DataFolder folder)
    : m_folder(std::move(folder))
{
}

QList<Message> Session::startUp()
{
    QList<Message> messages;
    if (!cp932DecoderWorks())
        messages.append(noDecoderMessage());
    for (int boat = 1; boat <= 6; ++boat)
        m_screen.wak[boat].visible = false;

    if (!m_folder.ensureData()) {
        messages.append(folderCreateFailedMessage());
        prepareAuxiliaryControls();
        return messages;
    }

    if (QFile::exists(m_folder.racekPath())) {
        resetResultPanel(m_screen);
        m_favourite = {};
        fillNameTables(m_tables);
        if (loadStoredDay(messages))
            fillVenueList(m_store, m_tables, m_screen.cmbItems);
        prepareAuxiliaryControls();
        loadStoredSettings(messages);
    } else {
        messages.append(noDataMessage());
        prepareAuxiliaryControls();
    }
    return messages;
}

bool Session::loadStoredDay(QList<Message> &messages)
{
    QFile file(m_folder.racekPath());
    if (!openRegularFile(file) || !m_store.load(file)) {
        m_store.clear();
        messages.append(storedDayUnreadableMessage());
        return false;
    }
    // The header's date stands until the library says which stored day this is.
    m_dayOnShow = firstSectionDate(m_store);
    m_dayOnShowFiled = false;
    return true;
}

void Session::loadStoredSettings(QList<Message> &messages)
{
    const std::optional<Settings> stored = loadSettings(m_folder.playerPath());
    m_settings = stored.value_or(Settings { 0, 1 });
    if (!stored)
        messages.append(settingsUnreadableMessage());
}

void Session::prepareAuxiliaryControls()
{
    m_screen.progressBar1.visible = false;
    m_screen.playerTxb.clear();
    m_screen.playerOption = 0;
}

Outcome Session::importResultFile(const QString &path, const QString &fileName)
{
    QFile source(path);
    return importResultFile(source, fileName);
}

Outcome Session::importResultFile(QIODevice &source, const QString &fileName)
{
    Outcome taken = takeResultFile(source, fileName);
    if (!taken.ok())
        return taken;
    // The day is on show whatever the library makes of it: a library that cannot be
    // opened or written is said, not a reason to refuse the day.
    const Outcome opened = openLibrary();
    if (opened.ok())
        fileDayOnShow(fileName);
    else
        m_filingWarning = notFiledMessage(opened.message ? opened.message->text : QString());
    return taken;
}

Outcome Session::takeResultFile(QIODevice &source, const QString &fileName)
{
    m_filingWarning.reset();
    // Should the library be made by the next open, the day this one replaces goes in first.
    std::optional<QByteArray> replaced;
    if (!library().isOpen())
        replaced = readWholeFile(m_folder.racekPath());
    Outcome taken = takeDay(source, fileName);
    if (taken.ok() && !library().isOpen())
        m_dayBeforeLibrary = replaced.value_or(QByteArray());
    return taken;
}

Outcome Session::takeDay(QIODevice &source, const QString &fileName)
{
    Outcome copied = copyResultData(source, fileName, m_folder);
    if (!copied.ok())
        return copied;

    // The copy is in place: from here on the previous day is gone from the screen.
    fillNameTables(m_tables);
    m_screen.cmbItems.clear();
    m_screen.cmbIndex = -1;
    clearRaceState(m_race);
    m_favourite = {};
    resetResultPanel(m_screen);
    clearFavouriteLabels(m_screen);
    m_venueOnScreen = m_raceOnScreen = 0;
    QList<Message> unread;
    if (!loadStoredDay(unread))
        return Outcome::failure(Code::ImportFailed, unread.constFirst());
    // Until the library has filed it, a day is on show under the date it will be filed under.
    if (!m_store.sectionBeginLines().empty())
        m_dayOnShow = library::dayDate(fileName, m_dayOnShow);
    fillVenueList(m_store, m_tables, m_screen.cmbItems);
    return copied;
}

void Session::selectVenue(int index)
{
    m_screen.cmbIndex = (index >= 0 && index < m_screen.cmbItems.size()) ? index : -1;
}

Outcome Session::selectRace(int race)
{
    const QString venue = m_screen.cmbText();
    if (venue.isEmpty())
        return Outcome::failure(Code::NoVenueChosen, noVenueMessage());

    clearRaceState(m_race);
    Outcome found = findAndCopyRace(
        m_store, m_tables, m_tables.venueCodeOf(venue), race, m_settings.resultTextMode, m_race);
    if (!found.ok()) {
        blankAfterFailedSelection();
        return found;
    }
    if (!parseRaceBlock(m_race)) {
        blankAfterFailedSelection();
        return Outcome::failure(Code::RaceRead, raceReadMessage(venue, race));
    }
    fillResultPanel(m_race, m_tables, m_settings, m_favourite, m_screen);
    m_venueOnScreen = m_tables.venueCodeOf(venue);
    m_raceOnScreen = race;
    return Outcome::success();
}

void Session::blankAfterFailedSelection()
{
    resetResultPanel(m_screen);
    clearRaceState(m_race);
    clearFavouriteLabels(m_screen);
    m_venueOnScreen = m_raceOnScreen = 0;
}

Outcome Session::searchFavourite(const ProgressFn &progress)
{
    if (!QFile::exists(m_folder.playerPath()))
        return Outcome::failure(Code::NoPlayerFile, noPlayerFileMessage());
    if (!QFile::exists(m_folder.racekPath()))
        return Outcome::failure(Code::NoStoredDay, noStoredDayMessage());
    if (m_settings.favouriteNumber == 0)
        return Outcome::failure(Code::NoFavourite, noFavouriteMessage());

    ProgressBar &bar = m_screen.progressBar1;
    bar.visible = true;
    m_favourite = {};
    bar.value = 0;
    bar.maximum = m_store.count();
    const bool found = walkForFavourite(
        m_store, m_tables, m_settings.favouriteNumber, m_favourite, [&](int position) {
            bar.value = std::min(position, bar.maximum);
            if (progress)
                progress(bar.value);
        });
    bar.visible = false;
    showFavourite(m_settings, m_favourite, m_screen);
    if (!found)
        return Outcome::failure(Code::NotFound, notFoundMessage());
    return Outcome::success();
}

Outcome Session::showFavouriteRace(int label)
{
    const int venue = label == 1 ? m_favourite.venue1 : m_favourite.venue2;
    const int race = label == 1 ? m_favourite.number1 : m_favourite.number2;
    if (venue <= 0 || race <= 0)
        return Outcome::success();
    return showRace(venue, race);
}

void Session::setRegistrationText(const QString &text)
{
    m_screen.playerTxb = text;
}

void Session::setRegistrationOption(int option)
{
    m_screen.playerOption = option == 1 ? 1 : 0;
}

RegistrationSave Session::saveRegistration(const ConfirmFn &confirm)
{
    if (const std::optional<Message> question = saveConfirmation()) {
        if (!confirm(*question))
            return {};
    }
    const Outcome saved = saveSettings();
    return { saved.message, saved.ok() };
}

std::optional<Message> Session::saveConfirmation() const
{
    if (m_screen.playerTxb.isEmpty())
        return emptyRegistrationMessage();
    return std::nullopt;
}

Outcome Session::saveSettings()
{
    m_folder.ensureTop();
    if (m_screen.playerTxb.isEmpty())
        m_screen.playerTxb = QStringLiteral("0");

    Settings next;
    next.resultTextMode = m_screen.playerOption == 0 ? 1 : 2;
    bool isNumber = false;
    next.favouriteNumber = static_cast<std::int16_t>(m_screen.playerTxb.toInt(&isNumber));
    if (!isNumber)
        next.favouriteNumber = 0;

    Outcome written = writeSettings(m_folder.playerPath(), next);
    if (!written.ok())
        return written;
    m_settings = next;

    resetResultPanel(m_screen);
    clearRaceState(m_race);
    clearFavouriteLabels(m_screen);
    m_favourite = {};
    return Outcome::success(settingsSavedMessage());
}

} // namespace rusena
