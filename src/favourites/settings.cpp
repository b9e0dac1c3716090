#include "settings.h"

#include "race/screenmodel.h"
#include "registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdlib>

namespace rusena {

namespace {

// player.dat holds one record: Number then Mode, each a little-endian signed 16-bit value.
constexpr int RecordSize = 4;

std::int16_t readInt16(const QByteArray &bytes, int offset)
{
    const auto low = static_cast<std::uint8_t>(bytes.at(offset));
    const auto high = static_cast<std::uint8_t>(bytes.at(offset + 1));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

void appendInt16(QByteArray &bytes, std::int16_t value)
{
    const auto bits = static_cast<std::uint16_t>(value);
    bytes.append(static_cast<char>(bits & 0xFF));
    bytes.append(static_cast<char>(bits >> 8));
}

} // namespace

QString fourDigits(int number)
{
    const QString digits = QString::number(std::abs(number)).rightJustified(4, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

Settings loadSettings(const QString &playerPath)
{
    QFile file(playerPath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return { 0, 1 };

    // The program always writes the whole record; a shorter file reads as if padded
    // with zero bytes.
    QByteArray record = file.read(RecordSize);
    record.append(RecordSize - record.size(), '\0');
    return { readInt16(record, 0), readInt16(record, 2) };
}

Outcome writeSettings(const QString &playerPath, const Settings &settings)
{
    const Outcome failed = Outcome::failure(Code::WriteFailed, settingsWriteFailedMessage());

    // The data folder may have been removed while the program ran.
    if (!QDir().mkpath(QFileInfo(playerPath).absolutePath()))
        return failed;

    QByteArray record;
    appendInt16(record, settings.favouriteNumber);
    appendInt16(record, settings.resultTextMode);

    QSaveFile file(playerPath);
    if (!file.open(QIODevice::WriteOnly))
        return failed;
    // An uncommitted QSaveFile leaves the old player.dat as it was. commit() does not
    // notice a failed flush of its buffer (a full disk), hence the explicit one.
    if (file.write(record) != record.size() || !file.flush() || !file.commit())
        return failed;
    return Outcome::success();
}

void showFavourite(const Settings &settings, const FavouriteResult &result, ScreenModel &screen)
{
    if (settings.favouriteNumber == 0)
        return;
    screen.okiniiri[0] = fourDigits(settings.favouriteNumber);
    screen.okiniiri[1] = result.venue;
    screen.okiniiri[2] = result.race1;
    screen.okiniiri[3] = result.race2;
}

} // namespace rusena
