#include "storedpayouts.h"

#include "library/digits.h"

namespace rusena::library {

namespace {

// Digits straight into the text: a day has some 1,500 payouts.
void appendNumber(QString &text, std::optional<qint64> number)
{
    if (!number)
        return;
    char16_t digits[20];
    char16_t *const end = std::end(digits);
    // Never negative: read from digits.
    text.append(QStringView(digitsBefore(end, quint64(*number)), end));
}

// Only digits are stored (appendNumber above); an empty field is no number. Read by hand:
// toLongLong() took a third of reading a day's payouts.
std::optional<qint64> numberOf(QStringView field)
{
    if (field.isEmpty() || field.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : field) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

QString storedPayouts(const QList<Payout> &payouts)
{
    QString text;
    text.reserve(payouts.size() * 24);
    for (const Payout &p : payouts) {
        if (!text.isEmpty())
            text += u'\n';
        text += p.bet;
        text += u',';
        text += p.combination;
        text += u',';
        appendNumber(text, p.yen);
        text += u',';
        appendNumber(text, p.popularity);
        text += u',';
        text += p.note;
    }
    return text;
}

QList<Payout> readStoredPayouts(QStringView text)
{
    QList<Payout> payouts;
    payouts.reserve(text.count(u'\n') + 1);
    for (const QStringView line : text.tokenize(u'\n', Qt::SkipEmptyParts)) {
        std::array<QStringView, 5> fields;
        qsizetype i = 0;
        for (const QStringView field : line.tokenize(u',')) {
            if (i == qsizetype(fields.size()))
                break;
            fields[size_t(i++)] = field;
        }
        payouts.append(
            { fields[0], fields[1], numberOf(fields[2]), numberOf(fields[3]), fields[4] });
    }
    return payouts;
}

} // namespace rusena::library
