#include "settings.h"

#include "race/screenmodel.h"
#include "registration.h"
#include "store/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cstdlib>

namespace rusena {

namespace {

// player.dat holds one record: Number then Mode, each a little-endian signed 16-bit value.
constexpr int RecordSize = 4;

std::int16_t readInt16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<std::int16_t>(bytes.constData() + offset);
}

} // namespace

QString fourDigits(int number)
{
    const QString digits = QString::number(std::abs(number)).rightJustified(4, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

std::optional<Settings> loadSettings(const QString &playerPath)
{
    QFile file(playerPath);
    if (!file.exists())
        return Settings { 0, 1 };
    if (!openRegularFile(file))
        return std::nullopt;

    // The program always writes the whole record; a shorter file reads as if padded
    // with zero bytes.
    QByteArray record(RecordSize, '\0');
    if (file.read(record.data(), RecordSize) < 0)
        return std::nullopt;
    return Settings { readInt16(record, 0), readInt16(record, 2) };
}

Outcome writeSettings(const QString &playerPath, const Settings &settings)
{
    const Outcome failed = Outcome::failure(Code::WriteFailed, settingsWriteFailedMessage());

    // The data folder may have been removed while the program ran.
    if (!QDir().mkpath(QFileInfo(playerPath).absolutePath()))
        return failed;

    // A link, device, FIFO or folder standing at player.dat is not overwritten.
    if (!mayReplace(playerPath))
        return failed;

    const QByteArray record = settingsRecord(settings);

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

QByteArray settingsRecord(const Settings &settings)
{
    QByteArray record(RecordSize, '\0');
    qToLittleEndian(settings.favouriteNumber, record.data());
    qToLittleEndian(settings.resultTextMode, record.data() + 2);
    return record;
}

} // namespace rusena
