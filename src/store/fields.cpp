#include "fields.h"

#include <algorithm>

namespace rusena::fields {

QStringView cut(const QString &line, int pos, int length)
{
    if (length <= 0)
        return {};
    int first = pos;
    int last = pos + length - 1; // inclusive, 1-based
    first = std::max(first, 1);
    last = std::min<qsizetype>(last, line.size());
    if (first > last)
        return {};
    return QStringView(line).mid(first - 1, last - first + 1);
}

bool isNonBlank(const QString &line, int pos)
{
    if (pos < 1 || pos > line.size())
        return true;
    return line.at(pos - 1) != QLatin1Char(' ');
}

bool matchesAt(const QString &line, int pos, QStringView text)
{
    if (pos < 1 || pos - 1 + text.size() > line.size())
        return false;
    return QStringView(line).mid(pos - 1, text.size()) == text;
}

int firstNonBlank(const QString &line)
{
    for (int p = 1; p <= ScanLimit; ++p) {
        if (isNonBlank(line, p))
            return p;
    }
    return 0;
}

int firstRunOfFour(const QString &line)
{
    // Beyond the line every position counts as non-blank, so short lines find a run too.
    int run = 0;
    for (int p = 1; p <= ScanLimit + 3; ++p) {
        run = isNonBlank(line, p) ? run + 1 : 0;
        if (run == 4)
            return p - 3;
        if (p >= ScanLimit && run == 0)
            return 0;
    }
    return 0;
}

QList<int> dotsFromRight(const QString &line)
{
    QList<int> dots;
    const int last = static_cast<int>(std::min<qsizetype>(line.size(), ScanLimit));
    for (int p = last; p >= 1; --p) {
        if (line.at(p - 1) == QLatin1Char('.'))
            dots.append(p);
    }
    return dots;
}

int find(const QString &line, QChar ch)
{
    const int last = static_cast<int>(std::min<qsizetype>(line.size(), ScanLimit));
    for (int p = 1; p <= last; ++p) {
        if (line.at(p - 1) == ch)
            return p;
    }
    return 0;
}

} // namespace rusena::fields
