#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace rusena::dump {

/// Writes one JSON document in the order the caller gives, indented by two blanks per
/// level, ", " free (one item per line), empty containers as [] and {}. Strings are UTF-8
/// with only the characters JSON requires escaped, so the output is stable and readable.
class JsonWriter final {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    /// The key of the next value inside an object.
    void key(const QString &name);

    void value(const QString &text);
    void value(int number);
    void value(bool flag);
    void null();
    void value(const char *) = delete; // literals would silently become a bool

    /// The finished document with its final newline.
    QByteArray document() const;

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();

    struct Level final {
        bool empty = true;
    };

    QByteArray m_out;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

} // namespace rusena::dump
