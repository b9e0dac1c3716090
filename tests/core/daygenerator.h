#pragma once

// Result days made up from a seed: laid out like the organiser's files (venue sections,
// race blocks, placing rows, payout lines), in code page 932 with CR LF. The same seed
// gives the same bytes on every machine.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace daygenerator {

/// A plausible day with the faults real files and damaged copies show: duplicate and
/// out-of-range venue codes, missing and repeated races, accident rows (F, L, K, S, K0,
/// L1, S0, 00), malformed and cut-short rows, blocks near the 29-line limit, stray and
/// invalid bytes, lone CR and LF terminators, and days ending near the 8500-line limit.
QByteArray randomDay(std::uint32_t seed);

/// A well-formed day of exactly `lineCount` lines (the last one FINALK): full sections of
/// twelve races, venue codes cycling through 01..24. The player `favourite` starts in one
/// race of every tenth section, so that a search over it finds several races.
QByteArray fullDay(int lineCount, int favourite, std::uint32_t seed = 1);

/// Text in code page 932 (glibc iconv, which knows the CP932 extensions too).
QByteArray toCp932(const QString &text);

/// The registration number of a player of `day`'s first placing row, or 0 when none.
int someRegistrationNumber(const QByteArray &day);

} // namespace daygenerator
