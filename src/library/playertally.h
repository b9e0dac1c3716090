#pragma once

#include "library/daysummary.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <unordered_map>
#include <utility>

namespace rusena::library {

/// The players of days written but not yet counted in the players table, summed by
/// registration number and name. The index writer writes each of them once a commit
/// instead of once a day he raced: an upsert a placing row had been a tenth of an
/// import's work.
class PlayerTally final {
public:
    struct Sums final {
        QString firstDate;
        QString lastDate;
        qint64 rows = 0;
        qint64 starts = 0;
    };
    using Key = std::pair<QString, QString>; ///< registration number, name as written
    using Entry = std::pair<const Key, Sums>;

    void add(const QString &date, const QList<PlayerSummary> &players);
    void clear() { m_sums.clear(); }
    bool isEmpty() const { return m_sums.empty(); }
    /// Sorted by key, so that the table is written in its own order.
    QList<const Entry *> sorted() const;

private:
    using View = std::pair<QStringView, QStringView>;
    // Looked up by views into a day's text: a player already counted costs no copy.
    struct Hash final {
        using is_transparent = void;
        size_t operator()(const View &key) const;
        size_t operator()(const Key &key) const { return (*this)(View(key.first, key.second)); }
    };
    struct Equal final {
        using is_transparent = void;
        template <typename A, typename B> bool operator()(const A &a, const B &b) const
        {
            return QStringView(a.first) == QStringView(b.first)
                && QStringView(a.second) == QStringView(b.second);
        }
    };

    void add(const View &key, const Sums &sums);

    std::unordered_map<Key, Sums, Hash, Equal> m_sums;
};

} // namespace rusena::library
