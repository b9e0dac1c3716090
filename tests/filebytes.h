#pragma once

// Whole-file reads and writes for the tests that lay out or inspect a data folder.

#include <QByteArray>
#include <QFile>
#include <QString>

/// The file's bytes, or `ifUnreadable` when it cannot be opened.
inline QByteArray readBytes(const QString &path, const QByteArray &ifUnreadable = {})
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : ifUnreadable;
}

/// Replaces the file with `bytes`; false when that did not fully happen.
inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}
