#include "heldday.h"

#include "library/archivereader.h"
#include "library/library.h"
#include "store/cp932.h"
#include "store/regularfile.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace rusena::fetch {

QString notYetNote(Kind kind)
{
    return kind == Kind::Results ? u"データは、この場の全レース終了後に登録されます。"_s
                                 : u"この場のデータ更新は、いましばらくお待ちください。"_s;
}

HeldDays::HeldDays(library::Library &library)
    : m_files(library.dayFiles())
{
    for (const library::StoredDay &day : library.storedDays())
        m_results.prepend(day.date);
    for (const library::StoredDay &day : library.storedProgrammeDays())
        m_programmes.prepend(day.date);
}

Held HeldDays::held(Kind kind, const QDate &date) const
{
    const QList<QDate> &stored = kind == Kind::Results ? m_results : m_programmes;
    if (!std::binary_search(stored.begin(), stored.end(), date))
        return Held::No;
    QFile file(m_files.pathOf(
        date, kind == Kind::Results ? library::DayKind::Result : library::DayKind::Programme));
    if (!file.open(QIODevice::ReadOnly))
        return Held::No;
    // A file the library would never have filed whole is read no further than that.
    const QByteArray bytes = readAtMost(file, library::MaxDayBytes);
    return decodeCp932(bytes).contains(notYetNote(kind)) ? Held::NotYet : Held::Complete;
}

QList<QDate> HeldDays::dates(Kind kind) const
{
    return kind == Kind::Results ? m_results : m_programmes;
}

QDate HeldDays::defaultTo(Kind kind, const QDate &today)
{
    return kind == Kind::Results ? today : today.addDays(1);
}

QDate HeldDays::defaultFrom(Kind kind, const QDate &today) const
{
    const QList<QDate> stored = dates(kind);
    if (stored.isEmpty())
        return today.addDays(-29);
    // A day fetched while its races were still running is asked for again, and so is
    // each incomplete day before it back to the newest complete one.
    QDate from = stored.constLast().addDays(1);
    for (auto it = stored.crbegin(); it != stored.crend(); ++it) {
        if (held(kind, *it) != Held::NotYet)
            break;
        from = *it;
    }
    return from;
}

QList<Slot> HeldDays::plan(const std::optional<QDate> &from, const std::optional<QDate> &to,
    bool results, bool programmes, const QDate &today) const
{
    QList<Slot> out;
    for (const Kind kind : { Kind::Results, Kind::Programmes }) {
        if (!(kind == Kind::Results ? results : programmes))
            continue;
        out += slotsOf(from.value_or(defaultFrom(kind, today)), to.value_or(defaultTo(kind, today)),
            kind == Kind::Results, kind == Kind::Programmes);
    }
    std::stable_sort(
        out.begin(), out.end(), [](const Slot &a, const Slot &b) { return a.date < b.date; });
    return out;
}

} // namespace rusena::fetch
