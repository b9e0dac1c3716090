#pragma once

// What the library already holds of each kind, as far as a fetch is concerned: a day held
// whole is not asked for again; a day whose file still carries the organiser's "not yet"
// note in place of a venue's races is asked for until it is complete.

#include "fetchplan.h"
#include "library/dayfiles.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace rusena::library {
class Library;
}

namespace rusena::fetch {

enum class Held { No, Complete, NotYet };

/// The organiser's note in a section published before its data: results are registered
/// after the venue's last race; the programme's update is still to come.
QString notYetNote(Kind kind);

/// The days held when it was made. A day counts as held once the index has it: a raw file
/// that a kill left without its index rows is asked for again, which files it.
class HeldDays final {
public:
    explicit HeldDays(library::Library &library);

    /// Whether the day's file of that kind is stored, and whether it is complete.
    Held held(Kind kind, const QDate &date) const;
    /// The stored dates of that kind, oldest first.
    QList<QDate> dates(Kind kind) const;

    /// The period fetched when none is given: up to today (results) or tomorrow
    /// (programmes); from the day after the newest stored day of the kind, or from the
    /// newest run of stored days still carrying the note; with none stored, the 30 days
    /// up to today.
    QDate defaultFrom(Kind kind, const QDate &today) const;
    static QDate defaultTo(Kind kind, const QDate &today);

    /// The archives to consider for the kinds asked: [from, to] of each kind, an end not
    /// given taking its default; by date, results before the programme of a date.
    QList<Slot> plan(const std::optional<QDate> &from, const std::optional<QDate> &to, bool results,
        bool programmes, const QDate &today) const;

private:
    library::DayFiles m_files;
    QList<QDate> m_results; ///< indexed, oldest first
    QList<QDate> m_programmes; ///< indexed, oldest first
};

} // namespace rusena::fetch
