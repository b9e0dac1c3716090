#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Result-file lines are read by character positions counted from 1, a full-width
// character counting as one. These helpers are the only place that turns such a
// position into a string index.
namespace rusena::fields {

/// Positions that row scans look at: 1 to ScanLimit.
inline constexpr int ScanLimit = 200;

/// The characters from position `pos` on, at most `length` of them; fewer when the line
/// ends sooner, none when `pos` lies past the end. Positions before 1 yield nothing.
QStringView cut(const QString &line, int pos, int length);

/// True when `pos` holds a character other than the half-width blank. A position past
/// the end of the line counts as non-blank, so that a row cut short still finds its
/// anchors.
bool isNonBlank(const QString &line, int pos);

/// True when the line's first text.size() characters equal `text` exactly.
/// Inline with a first-character test: selections run it over hundreds of lines.
inline bool startsWith(const QString &line, QStringView text)
{
    if (line.size() < text.size())
        return false;
    if (text.isEmpty())
        return true;
    return line.front() == text.front() && QStringView(line).left(text.size()) == text;
}

/// True when the characters at `pos`..pos+text.size()-1 equal `text` exactly.
bool matchesAt(const QString &line, int pos, QStringView text);

/// First position in 1..ScanLimit whose character is not a blank (anchor M); 0 if none.
int firstNonBlank(const QString &line);

/// First position r in 1..ScanLimit where r..r+3 are all non-blank (anchor R); 0 if none.
int firstRunOfFour(const QString &line);

/// Positions of the "." characters in 1..ScanLimit, rightmost first.
QList<int> dotsFromRight(const QString &line);

/// First position in 1..ScanLimit holding `ch`; 0 if none.
int find(const QString &line, QChar ch);

} // namespace rusena::fields
