#include "dumpscript.h"

#include "session/session.h"
#include "store/resultlayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>

namespace rusena::dump {

using namespace Qt::StringLiterals;

namespace {

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return u"information"_s;
    case MessageIcon::Warning:
        return u"warning"_s;
    case MessageIcon::None:
        break;
    }
    return u"none"_s;
}

QString colour(Rgb rgb)
{
    return u"#%1"_s.arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

QJsonValue messageJson(const std::optional<Message> &message)
{
    if (!message)
        return QJsonValue::Null;
    return QJsonObject {
        { u"caption"_s, message->caption },
        { u"text"_s, message->text },
        { u"icon"_s, iconName(message->icon) },
        { u"buttons"_s, message->buttons == MessageButtons::OkCancel ? u"ok-cancel"_s : u"ok"_s },
    };
}

// Entries first..last of a 1-based (or 0-based) array of strings.
template <typename Array> QJsonArray strings(const Array &array, int first, int last)
{
    QJsonArray out;
    for (int i = first; i <= last; ++i)
        out.append(array[static_cast<std::size_t>(i)]);
    return out;
}

QJsonObject stateJson(const RaceState &race)
{
    return QJsonObject {
        { u"meeting_title"_s, race.meetingTitle },
        { u"race_heading"_s, race.raceHeading },
        { u"meeting_date"_s, race.meetingDate },
        { u"meeting_day_number"_s, race.meetingDayNumber },
        { u"race_line_count"_s, race.raceLineCount },
        { u"technique_code"_s, race.techniqueCode },
        { u"accident_text"_s, race.accidentText },
        { u"top_boats"_s, strings(race.topBoats, 1, 3) },
        { u"row_courses"_s, strings(race.rowCourses, 1, 6) },
        { u"placing_codes"_s, strings(race.placingCodes, 1, 6) },
        { u"boat_numbers"_s, strings(race.boatNumbers, 1, 6) },
        { u"player_names"_s, strings(race.playerNames, 1, 6) },
        { u"exhibition_times"_s, strings(race.exhibitionTimes, 1, 6) },
        { u"start_timings"_s, strings(race.startTimings, 1, 6) },
        { u"race_times"_s, strings(race.raceTimes, 1, 6) },
    };
}

QJsonObject boxJson(const Box &box)
{
    // A text colour never set is the label's default, black.
    return QJsonObject {
        { u"caption"_s, box.caption },
        { u"fg"_s, colour(box.fgSet ? box.fg : colours::Black) },
        { u"bg"_s, colour(box.bg) },
    };
}

QJsonObject panelJson(const ScreenModel &screen)
{
    QJsonArray tyaku;
    for (std::size_t k = 1; k <= 3; ++k)
        tyaku.append(boxJson(screen.tyaku[k]));
    QJsonArray tyakub;
    for (std::size_t k = 1; k <= 2; ++k)
        tyakub.append(screen.tyakub[k].caption);
    QJsonArray wak;
    for (std::size_t boat = 1; boat <= 6; ++boat) {
        const Marker &marker = screen.wak[boat];
        wak.append(QJsonObject {
            { u"visible"_s, marker.visible },
            { u"left"_s, marker.left },
            { u"top"_s, marker.top },
        });
    }
    return QJsonObject {
        { u"tit"_s, strings(screen.tit, 0, 3) },
        { u"dds"_s, strings(screen.dds, 0, 25) },
        { u"tyaku"_s, tyaku },
        { u"tyakub"_s, tyakub },
        { u"wak"_s, wak },
        { u"okiniiri"_s, strings(screen.okiniiri, 0, 3) },
        { u"txb"_s, screen.txb },
    };
}

QJsonObject searchJson(const Session &session, const Outcome &outcome)
{
    return QJsonObject {
        { u"message"_s, messageJson(outcome.message) },
        { u"favourite_venue"_s, session.favourite().venue },
        { u"favourite_race1"_s, session.favourite().race1 },
        { u"favourite_race2"_s, session.favourite().race2 },
        { u"okiniiri"_s, strings(session.screen().okiniiri, 0, 3) },
    };
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The venue names of the list without repeats, each with the index of its first item.
QList<std::pair<QString, int>> distinctVenues(const QStringList &items)
{
    QList<std::pair<QString, int>> venues;
    for (int i = 0; i < items.size(); ++i) {
        const bool seen = std::any_of(
            venues.cbegin(), venues.cend(), [&](const auto &v) { return v.first == items[i]; });
        if (!seen)
            venues.append({ items[i], i });
    }
    return venues;
}

} // namespace

std::optional<QByteArray> runScript(const DumpRequest &request, const QString &root)
{
    const DataFolder folder = DataFolder::below(root);
    if (!folder.ensureData() || !writeFile(folder.racekPath(), request.fileBytes))
        return std::nullopt;
    if (request.favourite
        && !writeFile(folder.playerPath(),
            settingsRecord({ static_cast<std::int16_t>(*request.favourite),
                static_cast<std::int16_t>(request.mode) })))
        return std::nullopt;

    Session session(folder);
    session.startUp(); // start-up messages are not part of the dump

    const QStringList &venues = session.screen().cmbItems;
    QJsonObject dump {
        { u"line_count"_s, session.store().count() },
        { u"venues"_s, QJsonArray::fromStringList(venues) },
        { u"settings"_s,
            QJsonObject {
                { u"favourite"_s, static_cast<int>(session.settings().favouriteNumber) },
                { u"mode"_s, static_cast<int>(session.settings().resultTextMode) },
            } },
    };
    dump.insert(u"search"_s,
        request.favourite ? QJsonValue(searchJson(session, session.searchFavourite()))
                          : QJsonValue(QJsonValue::Null));

    QJsonArray selections;
    for (const auto &[venue, index] : distinctVenues(venues)) {
        for (int race = 1; race <= layout::RaceCount; ++race) {
            session.selectVenue(index);
            const Outcome outcome = session.selectRace(race);
            selections.append(QJsonObject {
                { u"venue"_s, venue },
                { u"race"_s, race },
                { u"message"_s, messageJson(outcome.message) },
                { u"state"_s, stateJson(session.race()) },
                { u"panel"_s, panelJson(session.screen()) },
            });
        }
    }
    dump.insert(u"selections"_s, selections);
    return QJsonDocument(dump).toJson(QJsonDocument::Indented);
}

} // namespace rusena::dump
