#include "daydate.h"

namespace rusena::library {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// How many ASCII digits `text` starts with.
qsizetype leadingDigits(QStringView text)
{
    qsizetype count = 0;
    while (count < text.size() && isAsciiDigit(text[count]))
        ++count;
    return count;
}

} // namespace

QDate dateOfFileName(QStringView fileName)
{
    if (fileName.isEmpty() || !kindOfFileName(fileName.left(1).toString()))
        return {};
    const QStringView digits = fileName.sliced(1, leadingDigits(fileName.sliced(1)));
    // A name such as "K2008150.TXT" carries no date of either form.
    if (digits.size() == 6)
        return QDate(2000 + digits.left(2).toInt(), digits.sliced(2, 2).toInt(),
            digits.sliced(4, 2).toInt());
    if (digits.size() == 8)
        return QDate(
            digits.left(4).toInt(), digits.sliced(4, 2).toInt(), digits.sliced(6, 2).toInt());
    return {};
}

QDate dayDate(QStringView fileName, const QDate &headerDate)
{
    const QDate named = dateOfFileName(fileName);
    return named.isValid() ? named : headerDate;
}

QString storedDayName(const QDate &date, DayKind kind)
{
    const bool twoDigitYear = date.year() >= 2000 && date.year() <= 2099;
    return (kind == DayKind::Programme ? u'B' : u'K')
        + date.toString(twoDigitYear ? u"yyMMdd" : u"yyyyMMdd") + u".TXT";
}

} // namespace rusena::library
