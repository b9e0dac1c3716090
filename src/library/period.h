#pragma once

#include <QDate>
#include <QString>

namespace rusena::library {

/// The days a query looks at: from and to inclusive, either end open when null, and
/// optionally one venue (0 for all). A `from` after `to` is an empty period.
struct Period final {
    QDate from;
    QDate to;
    int venue = 0;

    /// The bounds as the index stores dates (YYYY-MM-DD), open ends widened so that one
    /// statement serves every case.
    QString fromKey() const
    {
        return from.isValid() ? from.toString(Qt::ISODate) : QStringLiteral("0000-00-00");
    }
    QString toKey() const
    {
        return to.isValid() ? to.toString(Qt::ISODate) : QStringLiteral("9999-99-99");
    }
};

/// A venue's name as the venue list shows it, "" outside 1..24.
QString venueName(int code);

} // namespace rusena::library
