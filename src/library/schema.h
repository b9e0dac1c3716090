#pragma once

// The library's index: a SQLite file derived from the raw day files, which are the truth.
// Everything here can be rebuilt from them; a file of another schema version is rebuilt,
// never half-used.

#include <array>
#include <cstddef>

namespace rusena::library {

/// Kept in PRAGMA user_version. Raise it with every change to the statements below.
inline constexpr int SchemaVersion = 10;

// A day's summary rows and their monthly and yearly roll-ups share one shape, keyed by KEY:
// a date, a month (YYYY-MM) or a year (YYYY).
#define COURSE_TABLE(TABLE, KEY)                                                                   \
    "CREATE TABLE " TABLE " (" KEY " TEXT NOT NULL, venue_code INTEGER NOT NULL,"                  \
    " course INTEGER NOT NULL, starts INTEGER NOT NULL, first INTEGER NOT NULL,"                   \
    " second INTEGER NOT NULL, third INTEGER NOT NULL, fourth INTEGER NOT NULL,"                   \
    " fifth INTEGER NOT NULL, sixth INTEGER NOT NULL, start_sum_cs INTEGER NOT NULL,"              \
    " plain_starts INTEGER NOT NULL, PRIMARY KEY (" KEY ", venue_code, course)) WITHOUT ROWID"
#define TECHNIQUE_TABLE(TABLE, KEY)                                                                \
    "CREATE TABLE " TABLE " (" KEY " TEXT NOT NULL, venue_code INTEGER NOT NULL,"                  \
    " technique TEXT NOT NULL, races INTEGER NOT NULL,"                                            \
    " PRIMARY KEY (" KEY ", venue_code, technique)) WITHOUT ROWID"

/// Rows keep the file's text as written (trimmed as the export describes); numbers that
/// queries compute on are INTEGER. `seq` is the order of a row within its parent as the
/// file has it, so that "the order of the rows in the file" survives. Entries are kept in
/// their primary key's order (WITHOUT ROWID): one tree instead of a table and its key
/// index, which an import would both write (version 2). A race's payouts are one text of
/// its row (version 4). Players and the monthly roll-ups keep the queries a fan waits for
/// as quick on ten years as on one (version 5). A day's rows belong to its row of `days`
/// and go with it, removed by the writer itself: no foreign keys, which SQLite would check
/// for every row inserted (version 6). Programme days have tables of their own
/// (version 7). A race's id sorts as a history lists races (raceKey()), and the
/// registration index carries what a history and a form read of a placing row: a player's
/// rows are one stretch of the index in the order shown (version 8). A favourite's
/// programme races are found through the day's races, not an index of every entrant by
/// registration number, which an import of programmes spent a fifth of its time making;
/// the statistics also keep yearly roll-ups (version 9). No index of races by venue: the
/// statistics read the roll-ups and a period's payouts the days' races, so nothing asked
/// it any more, while every import made it (version 10).
inline constexpr std::array<const char *, 14> TableStatements {
    // One row per stored day; `file` is the base name it came from, `bytes_digest` tells a
    // re-import of the same bytes from a replacement.
    "CREATE TABLE days ("
    " date TEXT PRIMARY KEY," // YYYY-MM-DD
    " file TEXT NOT NULL,"
    " stored_name TEXT NOT NULL," // name of the raw copy in days/
    " size INTEGER NOT NULL,"
    " bytes_digest TEXT NOT NULL," // dayDigest()
    " venues INTEGER NOT NULL,"
    " races INTEGER NOT NULL)",

    // Venue sections with a code 1..24, those without race blocks included.
    "CREATE TABLE sections ("
    " date TEXT NOT NULL,"
    " venue_code INTEGER NOT NULL,"
    " seq INTEGER NOT NULL,"
    " title TEXT NOT NULL,"
    " PRIMARY KEY (date, seq))",

    "CREATE TABLE races ("
    " id INTEGER PRIMARY KEY," // raceKey()
    " date TEXT NOT NULL,"
    " venue_code INTEGER NOT NULL,"
    " race INTEGER NOT NULL,"
    " seq INTEGER NOT NULL," // order of the block in the day
    " heading TEXT NOT NULL,"
    " fixed_entry INTEGER NOT NULL,"
    " distance_m TEXT NOT NULL,"
    " weather TEXT NOT NULL,"
    " wind_direction TEXT NOT NULL,"
    " wind_m TEXT NOT NULL,"
    " wave_cm TEXT NOT NULL,"
    " technique TEXT NOT NULL,"
    " void INTEGER NOT NULL,"
    " payouts TEXT NOT NULL)", // storedPayouts(): a line a payout; empty for a void race

    "CREATE TABLE entries ("
    " race_id INTEGER NOT NULL,"
    " seq INTEGER NOT NULL,"
    " placing TEXT NOT NULL,"
    " rank INTEGER," // 1..6 where placing is 01..06, else NULL
    " boat TEXT NOT NULL,"
    " reg INTEGER NOT NULL," // four digits (printf('%04d') writes them back)
    " name TEXT NOT NULL,"
    " motor TEXT NOT NULL,"
    " boat_no TEXT NOT NULL,"
    " exhibition TEXT NOT NULL,"
    " course INTEGER," // 1..6, NULL for a boat that did not start
    " start TEXT NOT NULL," // as written: 0.27, F0.04, L1.04, K .
    " race_time TEXT NOT NULL, PRIMARY KEY (race_id, seq)) WITHOUT ROWID",

    // Each day's starts by venue and course, and its winning techniques by venue, for
    // races that were not void: the statistics of a period sum a few rows a day instead
    // of walking every start. Written with the day's rows (summariseDay). start_sum_cs is
    // the sum of the plain timings, in hundredths; plain_starts the starts with one.
    COURSE_TABLE("course_stats", "date"),
    TECHNIQUE_TABLE("technique_counts", "date"),

    // The same summed a month (YYYY-MM), so that ten years are thousands of rows: a period
    // reads its whole months here and the days at its ends above. Kept with the day rows
    // by the index writer; a row goes when its month holds no start (or race) any more.
    COURSE_TABLE("course_months", "month"),
    TECHNIQUE_TABLE("technique_months", "month"),

    // The same summed a year (YYYY): a period's whole years are read here, its months and
    // days at the ends above, so that the statistics of ten years are some 1,500 rows.
    COURSE_TABLE("course_years", "year"),
    TECHNIQUE_TABLE("technique_years", "year"),

    // Every player and way his name was written, with the first and last day it was and
    // the placing rows and starts (as the statistics count them) under it: the name search
    // reads a few thousand rows instead of every placing row.
    "CREATE TABLE players ("
    " reg INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " first_date TEXT NOT NULL,"
    " last_date TEXT NOT NULL,"
    " entry_rows INTEGER NOT NULL,"
    " starts INTEGER NOT NULL,"
    " PRIMARY KEY (reg, name)) WITHOUT ROWID",

    // Programme days: the races of a coming day and their entrants, kept apart from the
    // results (the same date may have both). The meeting's title and day are each race's,
    // as the export writes them.
    "CREATE TABLE programme_days ("
    " date TEXT PRIMARY KEY,"
    " file TEXT NOT NULL,"
    " stored_name TEXT NOT NULL,"
    " size INTEGER NOT NULL,"
    " bytes_digest TEXT NOT NULL,"
    " venues INTEGER NOT NULL,"
    " races INTEGER NOT NULL)",

    "CREATE TABLE programme_races ("
    " id INTEGER PRIMARY KEY,"
    " date TEXT NOT NULL,"
    " venue_code INTEGER NOT NULL,"
    " race INTEGER NOT NULL,"
    " seq INTEGER NOT NULL,"
    " meeting_title TEXT NOT NULL,"
    " meeting_day TEXT NOT NULL,"
    " race_name TEXT NOT NULL,"
    " fixed_entry INTEGER NOT NULL,"
    " distance_m TEXT NOT NULL,"
    " deadline TEXT NOT NULL)",

    // The programme's figures as printed, trimmed.
    "CREATE TABLE programme_entries ("
    " race_id INTEGER NOT NULL,"
    " seq INTEGER NOT NULL,"
    " boat TEXT NOT NULL,"
    " reg TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " age TEXT NOT NULL,"
    " branch TEXT NOT NULL,"
    " weight_kg TEXT NOT NULL,"
    " class TEXT NOT NULL,"
    " national_win_rate TEXT NOT NULL,"
    " national_top2_rate TEXT NOT NULL,"
    " local_win_rate TEXT NOT NULL,"
    " local_top2_rate TEXT NOT NULL,"
    " motor TEXT NOT NULL,"
    " motor_top2_rate TEXT NOT NULL,"
    " boat_no TEXT NOT NULL,"
    " boat_top2_rate TEXT NOT NULL,"
    " meeting_results TEXT NOT NULL,"
    " early_race TEXT NOT NULL, PRIMARY KEY (race_id, seq)) WITHOUT ROWID",
};

#undef COURSE_TABLE
#undef TECHNIQUE_TABLE

/// The indexes for the queries. A rebuild and an import into an empty library make the
/// first DeferredIndexes of them after the rows, in one sorted pass each instead of an
/// insert a row; opening the library makes any that a process killed before then left
/// missing, or that a library older than the index lacks.
/// The last lists the void races (a few a year): a form counts a player's starts from the
/// registration index alone and leaves these out, instead of looking up the race of every
/// start. It takes a row only for a void race, so it is kept through a batch.
/// A name search looks inside names (instr of the name without blanks), which no index
/// serves.
inline constexpr std::array<const char *, 4> IndexNames {
    "races_by_day",
    "entries_by_reg",
    "programme_races_by_day",
    "void_races",
};
inline constexpr std::size_t DeferredIndexes = 3;
inline constexpr std::array<const char *, 4> IndexStatements {
    "CREATE INDEX IF NOT EXISTS races_by_day ON races(date, venue_code, race)",
    "CREATE INDEX IF NOT EXISTS entries_by_reg"
    " ON entries(reg, race_id, seq, boat, course, placing, rank, start, race_time, name)",
    "CREATE INDEX IF NOT EXISTS programme_races_by_day"
    " ON programme_races(date, venue_code, race)",
    "CREATE INDEX IF NOT EXISTS void_races ON races(void) WHERE void = 1",
};

/// Everything a new library holds: the tables, then the indexes.
inline constexpr std::array<const char *, TableStatements.size() + IndexStatements.size()>
    SchemaStatements = [] {
        std::array<const char *, TableStatements.size() + IndexStatements.size()> all {};
        std::size_t i = 0;
        for (const char *statement : TableStatements)
            all[i++] = statement;
        for (const char *statement : IndexStatements)
            all[i++] = statement;
        return all;
    }();

} // namespace rusena::library
