#include "dumpscript.h"

#include "jsonwriter.h"

#include "session/session.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>

namespace rusena::dump {

using namespace Qt::StringLiterals;

namespace {

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return u"information"_s;
    case MessageIcon::Warning: return u"warning"_s;
    case MessageIcon::None: break;
    }
    return u"none"_s;
}

QString colour(Rgb rgb)
{
    return u"#%1"_s.arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

void writeMessage(JsonWriter &json, const std::optional<Message> &message)
{
    if (!message) {
        json.null();
        return;
    }
    json.beginObject();
    json.key(u"caption"_s);
    json.value(message->caption);
    json.key(u"text"_s);
    json.value(message->text);
    json.key(u"icon"_s);
    json.value(iconName(message->icon));
    json.key(u"buttons"_s);
    json.value(message->buttons == MessageButtons::OkCancel ? u"ok-cancel"_s : u"ok"_s);
    json.endObject();
}

// Entries first..last of a 1-based (or 0-based) array, as a JSON array of strings.
template <typename Array>
void writeStrings(JsonWriter &json, const QString &name, const Array &array, int first, int last)
{
    json.key(name);
    json.beginArray();
    for (int i = first; i <= last; ++i)
        json.value(array[static_cast<std::size_t>(i)]);
    json.endArray();
}

void writeState(JsonWriter &json, const RaceState &race)
{
    json.beginObject();
    json.key(u"meeting_title"_s);
    json.value(race.meetingTitle);
    json.key(u"race_heading"_s);
    json.value(race.raceHeading);
    json.key(u"meeting_date"_s);
    json.value(race.meetingDate);
    json.key(u"meeting_day_number"_s);
    json.value(race.meetingDayNumber);
    json.key(u"race_line_count"_s);
    json.value(race.raceLineCount);
    json.key(u"technique_code"_s);
    json.value(race.techniqueCode);
    json.key(u"accident_text"_s);
    json.value(race.accidentText);
    writeStrings(json, u"top_boats"_s, race.topBoats, 1, 3);
    writeStrings(json, u"row_courses"_s, race.rowCourses, 1, 6);
    writeStrings(json, u"placing_codes"_s, race.placingCodes, 1, 6);
    writeStrings(json, u"boat_numbers"_s, race.boatNumbers, 1, 6);
    writeStrings(json, u"player_names"_s, race.playerNames, 1, 6);
    writeStrings(json, u"exhibition_times"_s, race.exhibitionTimes, 1, 6);
    writeStrings(json, u"start_timings"_s, race.startTimings, 1, 6);
    writeStrings(json, u"race_times"_s, race.raceTimes, 1, 6);
    json.endObject();
}

void writeBox(JsonWriter &json, const Box &box)
{
    json.beginObject();
    json.key(u"caption"_s);
    json.value(box.caption);
    json.key(u"fg"_s);
    // A text colour never set is the label's default, black.
    json.value(colour(box.fgSet ? box.fg : colours::Black));
    json.key(u"bg"_s);
    json.value(colour(box.bg));
    json.endObject();
}

void writePanel(JsonWriter &json, const ScreenModel &screen)
{
    json.beginObject();
    writeStrings(json, u"tit"_s, screen.tit, 0, 3);
    writeStrings(json, u"dds"_s, screen.dds, 0, 25);
    json.key(u"tyaku"_s);
    json.beginArray();
    for (int k = 1; k <= 3; ++k)
        writeBox(json, screen.tyaku[static_cast<std::size_t>(k)]);
    json.endArray();
    json.key(u"tyakub"_s);
    json.beginArray();
    for (int k = 1; k <= 2; ++k)
        json.value(screen.tyakub[static_cast<std::size_t>(k)].caption);
    json.endArray();
    json.key(u"wak"_s);
    json.beginArray();
    for (int boat = 1; boat <= 6; ++boat) {
        const Marker &marker = screen.wak[static_cast<std::size_t>(boat)];
        json.beginObject();
        json.key(u"visible"_s);
        json.value(marker.visible);
        json.key(u"left"_s);
        json.value(marker.left);
        json.key(u"top"_s);
        json.value(marker.top);
        json.endObject();
    }
    json.endArray();
    writeStrings(json, u"okiniiri"_s, screen.okiniiri, 0, 3);
    json.key(u"txb"_s);
    json.value(screen.txb);
    json.endObject();
}

void writeSearch(JsonWriter &json, const Session &session, const Outcome &outcome)
{
    json.beginObject();
    json.key(u"message"_s);
    writeMessage(json, outcome.message);
    json.key(u"favourite_venue"_s);
    json.value(session.favourite().venue);
    json.key(u"favourite_race1"_s);
    json.value(session.favourite().race1);
    json.key(u"favourite_race2"_s);
    json.value(session.favourite().race2);
    writeStrings(json, u"okiniiri"_s, session.screen().okiniiri, 0, 3);
    json.endObject();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray settingsRecord(int number, int mode)
{
    QByteArray record;
    for (const int field : {number, mode}) {
        const auto value = static_cast<std::uint16_t>(static_cast<std::int16_t>(field));
        record.append(static_cast<char>(value & 0xFF));
        record.append(static_cast<char>(value >> 8));
    }
    return record;
}

// The venue names of the list without repeats, each with the index of its first item.
QList<std::pair<QString, int>> distinctVenues(const QStringList &items)
{
    QList<std::pair<QString, int>> venues;
    for (int i = 0; i < items.size(); ++i) {
        const bool seen = std::any_of(venues.cbegin(), venues.cend(),
                                      [&](const auto &v) { return v.first == items[i]; });
        if (!seen)
            venues.append({items[i], i});
    }
    return venues;
}

} // namespace

std::optional<QByteArray> runScript(const DumpRequest &request, const QString &root)
{
    const DataFolder folder = DataFolder::below(root);
    if (!folder.ensureData() || !writeFile(folder.racekPath(), request.fileBytes))
        return std::nullopt;
    if (request.favourite && !writeFile(folder.playerPath(),
                                        settingsRecord(*request.favourite, request.mode)))
        return std::nullopt;

    Session session(folder);
    session.startUp(); // start-up messages are not part of the dump

    JsonWriter json;
    json.beginObject();
    json.key(u"line_count"_s);
    json.value(session.store().count());
    writeStrings(json, u"venues"_s, session.screen().cmbItems, 0,
                 static_cast<int>(session.screen().cmbItems.size()) - 1);
    json.key(u"settings"_s);
    json.beginObject();
    json.key(u"favourite"_s);
    json.value(static_cast<int>(session.settings().favouriteNumber));
    json.key(u"mode"_s);
    json.value(static_cast<int>(session.settings().resultTextMode));
    json.endObject();

    json.key(u"search"_s);
    if (request.favourite)
        writeSearch(json, session, session.searchFavourite());
    else
        json.null();

    json.key(u"selections"_s);
    json.beginArray();
    for (const auto &[venue, index] : distinctVenues(session.screen().cmbItems)) {
        for (int race = 1; race <= 12; ++race) {
            session.selectVenue(index);
            const Outcome outcome = session.selectRace(race);
            json.beginObject();
            json.key(u"venue"_s);
            json.value(venue);
            json.key(u"race"_s);
            json.value(race);
            json.key(u"message"_s);
            writeMessage(json, outcome.message);
            json.key(u"state"_s);
            writeState(json, session.race());
            json.key(u"panel"_s);
            writePanel(json, session.screen());
            json.endObject();
        }
    }
    json.endArray();
    json.endObject();
    return json.document();
}

} // namespace rusena::dump
