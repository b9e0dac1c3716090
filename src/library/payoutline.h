#pragma once

#include <QList>
#include <QStringView>

#include <optional>

namespace rusena::library {

/// One paid combination of a race, or the one row of a special payout or of a bet that
/// did not come off. The texts view the line read; numbers are empty where the line has
/// none (or more digits than a number holds).
struct Payout final {
    QStringView bet; ///< "単勝" .. "３連複"
    QStringView combination; ///< "1", "1-3", "1-3-4"
    std::optional<qint64> yen;
    std::optional<qint64> popularity;
    QStringView note; ///< "特払い", "不成立" or empty

    friend bool operator==(const Payout &, const Payout &) = default;
};

inline constexpr QStringView SpecialPayoutNote = u"特払い";
inline constexpr QStringView NoPayoutNote = u"不成立";

/// What a line was to readPayoutLine().
enum class PayoutLine {
    None, ///< no payout line, or a continuation with no bet above it
    Read,
    Malformed, ///< a payout line with a number out of range, read with that number empty
};

/// Reads a payout line of a race block into `out`. A line opening with a bet type sets
/// `bet`; a continuation line (opening with a combination) takes it over.
PayoutLine readPayoutLine(QStringView line, QStringView &bet, QList<Payout> &out);

} // namespace rusena::library
