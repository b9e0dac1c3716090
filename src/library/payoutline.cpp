#include "payoutline.h"

#include "store/resultlayout.h"

#include <QVarLengthArray>

#include <limits>

namespace rusena::library {

namespace {

using layout::isBlank;
using layout::trimBlanks;

inline constexpr QStringView PopularityWord = u"人気";

// A payout line holds a dozen words at most; longer ones spill to the heap.
using Words = QVarLengthArray<QStringView, 16>;

Words words(QStringView text)
{
    Words out;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const qsizetype begin = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > begin)
            out.append(text.sliced(begin, i - begin));
    }
    return out;
}

// "1", "1-3", "1-3-4": boats 1..6 joined by hyphens.
bool isCombination(QStringView word)
{
    if (word.isEmpty() || word.size() % 2 == 0)
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const bool ok = i % 2 == 0 ? (word[i] >= u'1' && word[i] <= u'6') : word[i] == u'-';
        if (!ok)
            return false;
    }
    return true;
}

// Adds the word's digits to `value`; separators a file may write ("1,090", "¥150") are
// passed over. Empty while no digit was seen. More digits than a number holds set
// `overflow` and stop the sum there.
void addDigits(QStringView word, std::optional<qint64> &value, bool &overflow)
{
    constexpr qint64 Limit = (std::numeric_limits<qint64>::max() - 9) / 10;
    for (const QChar c : word) {
        if (overflow || !layout::isAsciiDigit(c))
            continue;
        if (value.value_or(0) > Limit) {
            overflow = true;
            continue;
        }
        value = value.value_or(0) * 10 + (c.unicode() - u'0');
    }
}

// The word's number; empty, and the line malformed, when it is out of range.
std::optional<qint64> numberOf(QStringView word, bool &malformed)
{
    std::optional<qint64> value;
    bool overflow = false;
    addDigits(word, value, overflow);
    malformed = malformed || overflow;
    return overflow ? std::nullopt : value;
}

// A 特払い line's amount may be written in more than one word; the rest have none.
void readNote(
    QStringView bet, QStringView note, const Words &amount, QList<Payout> &out, bool &malformed)
{
    Payout row { bet, {}, {}, {}, note };
    if (note == SpecialPayoutNote) {
        bool overflow = false;
        for (const QStringView word : amount)
            addDigits(word, row.yen, overflow);
        if (overflow)
            row.yen.reset();
        malformed = malformed || overflow;
    }
    out.append(row);
}

// combination yen [人気 n], repeated (複勝 carries up to three boats on one line). A
// popularity belongs to the last row of this line, from `first` on.
void readCombinations(
    QStringView bet, const Words &list, qsizetype first, QList<Payout> &out, bool &malformed)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].startsWith(PopularityWord)) {
            if (out.size() == first)
                continue;
            QStringView number = list[i].sliced(PopularityWord.size());
            if (number.isEmpty() && i + 1 < list.size())
                number = list[++i];
            out.last().popularity = numberOf(number, malformed);
        } else if (isCombination(list[i])) {
            Payout row { bet, list[i], {}, {}, {} };
            if (i + 1 < list.size() && !list[i + 1].startsWith(PopularityWord))
                row.yen = numberOf(list[++i], malformed);
            out.append(row);
        }
    }
}

} // namespace

PayoutLine readPayoutLine(QStringView line, QStringView &bet, QList<Payout> &out)
{
    QStringView text = trimBlanks(line);
    const QStringView opening = layout::payoutBet(text);
    if (!opening.isEmpty()) {
        bet = opening;
        text = text.sliced(opening.size());
    } else if (bet.isEmpty() || text.isEmpty() || !layout::isAsciiDigit(text.front())) {
        return PayoutLine::None;
    }
    Words list = words(text);
    bool malformed = false;
    if (!list.isEmpty()
        && (list.front().startsWith(SpecialPayoutNote) || list.front().startsWith(NoPayoutNote))) {
        const QStringView note
            = list.front().startsWith(SpecialPayoutNote) ? SpecialPayoutNote : NoPayoutNote;
        list.front() = list.front().sliced(note.size());
        readNote(bet, note, list, out, malformed);
        return malformed ? PayoutLine::Malformed : PayoutLine::Read;
    }
    const qsizetype before = out.size();
    readCombinations(bet, list, before, out, malformed);
    if (malformed)
        return PayoutLine::Malformed;
    return out.size() > before || !opening.isEmpty() ? PayoutLine::Read : PayoutLine::None;
}

} // namespace rusena::library
