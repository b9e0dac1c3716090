#include "payoutline.h"

#include "store/resultlayout.h"

namespace rusena::library {

namespace {

using layout::isBlank;
using layout::trimBlanks;

inline constexpr QStringView PopularityWord = u"人気";

QList<QStringView> words(QStringView text)
{
    QList<QStringView> out;
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

// The amount's digits; separators a file may write ("1,090", "¥150") are dropped.
QString digitsOf(QStringView word)
{
    QString digits;
    for (const QChar c : word) {
        if (layout::isAsciiDigit(c))
            digits.append(c);
    }
    return digits;
}

void readNote(
    const QString &bet, QStringView note, const QList<QStringView> &rest, QList<Payout> &out)
{
    Payout row { bet, {}, {}, {}, note.toString() };
    if (note == SpecialPayoutNote) {
        for (const QStringView word : rest)
            row.yen += digitsOf(word);
    }
    out.append(row);
}

// combination yen [人気 n], repeated (複勝 carries up to three boats on one line).
void readCombinations(const QString &bet, const QList<QStringView> &list, QList<Payout> &out)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].startsWith(PopularityWord)) {
            if (out.isEmpty())
                continue;
            QStringView number = list[i].sliced(PopularityWord.size());
            if (number.isEmpty() && i + 1 < list.size())
                number = list[++i];
            out.last().popularity = digitsOf(number);
        } else if (isCombination(list[i])) {
            Payout row { bet, list[i].toString(), {}, {}, {} };
            if (i + 1 < list.size() && !list[i + 1].startsWith(PopularityWord))
                row.yen = digitsOf(list[++i]);
            out.append(row);
        }
    }
}

} // namespace

bool readPayoutLine(QStringView line, QString &bet, QList<Payout> &out)
{
    QStringView text = trimBlanks(line);
    const QStringView opening = layout::payoutBet(text);
    if (!opening.isEmpty()) {
        bet = opening.toString();
        text = text.sliced(opening.size());
    } else if (bet.isEmpty() || text.isEmpty() || !layout::isAsciiDigit(text.front())) {
        return false;
    }
    const QList<QStringView> list = words(text);
    if (!list.isEmpty()
        && (list.front().startsWith(SpecialPayoutNote) || list.front().startsWith(NoPayoutNote))) {
        const QStringView note
            = list.front().startsWith(SpecialPayoutNote) ? SpecialPayoutNote : NoPayoutNote;
        QList<QStringView> rest = list.mid(1);
        rest.prepend(list.front().sliced(note.size()));
        readNote(bet, note, rest, out);
        return true;
    }
    const qsizetype before = out.size();
    QList<Payout> rows;
    readCombinations(bet, list, rows);
    out.append(rows);
    return out.size() > before || !opening.isEmpty();
}

} // namespace rusena::library
