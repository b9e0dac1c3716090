#pragma once

#include <QtGlobal>

namespace rusena::library {

/// Writes the decimal digits of `value` backwards so that they end just before `end`, and
/// returns where they begin: a number straight into a text or a CSV line, with no
/// temporary string (an import and an export write millions). `end` needs 20 characters
/// before it.
template <typename Char> Char *digitsBefore(Char *end, quint64 value)
{
    Char *begin = end;
    do {
        *--begin = Char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    return begin;
}

} // namespace rusena::library
