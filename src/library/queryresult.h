#pragma once

#include <QString>

#include <optional>

namespace rusena::library {

/// What a query over the library returned, or why it could not run (the database's own
/// text); the view decides how to show a failure.
template <typename T> struct QueryResult final {
    std::optional<T> value;
    QString error;

    bool ok() const { return value.has_value(); }
    static QueryResult success(T v) { return { std::move(v), {} }; }
    static QueryResult failure(QString why) { return { std::nullopt, std::move(why) }; }
};

} // namespace rusena::library
