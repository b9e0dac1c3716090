#include "playertally.h"

#include <QHashFunctions>

#include <algorithm>

namespace rusena::library {

size_t PlayerTally::Hash::operator()(const View &key) const
{
    return qHashMulti(0, key.first, key.second);
}

void PlayerTally::add(const QString &date, const QList<PlayerSummary> &players)
{
    for (const PlayerSummary &p : players)
        add(View(p.reg, p.name), { date, date, p.rows, p.starts });
}

void PlayerTally::add(const View &key, const Sums &sums)
{
    const auto it = m_sums.find(key);
    if (it == m_sums.end()) {
        m_sums.emplace(Key(key.first.toString(), key.second.toString()), sums);
        return;
    }
    Sums &s = it->second;
    s.firstDate = std::min(s.firstDate, sums.firstDate);
    s.lastDate = std::max(s.lastDate, sums.lastDate);
    s.rows += sums.rows;
    s.starts += sums.starts;
}

QList<const PlayerTally::Entry *> PlayerTally::sorted() const
{
    QList<const Entry *> entries;
    entries.reserve(qsizetype(m_sums.size()));
    for (const Entry &entry : m_sums)
        entries.append(&entry);
    std::sort(entries.begin(), entries.end(),
        [](const Entry *a, const Entry *b) { return a->first < b->first; });
    return entries;
}

} // namespace rusena::library
