#pragma once

#include <QSqlDatabase>

#include <functional>
#include <optional>

namespace rusena {

/// How a library window reaches the library: asked for at every query, never kept, because
/// a rebuild closes the connection and opens another. Returns nothing when the library
/// cannot be opened; the function has then told the user why.
using DatabaseFn = std::function<std::optional<QSqlDatabase>()>;

/// A DatabaseFn that always answers `db`, for a window over one fixed database.
inline DatabaseFn fixedDatabase(const QSqlDatabase &db)
{
    return [db] { return std::optional<QSqlDatabase>(db); };
}

} // namespace rusena
