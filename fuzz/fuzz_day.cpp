// libFuzzer entry: the first two input bytes are the settings (favourite number in the
// low 14 bits, the result-text mode in the top two), the rest is a stored day. Each run
// starts the program on that day, shows every race of every listed venue, searches the
// favourite and finally imports the same bytes as a new result file.

#include "session/session.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace rusena;

namespace {

void writeFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes.data(), bytes.size()) != bytes.size())
        std::abort(); // the harness itself is broken, not the program
}

// One data folder for the whole process: creating a directory per input costs more than
// the run itself.
const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

QByteArray playerRecord(std::uint16_t settings)
{
    const std::uint16_t number = settings & 0x3FFF;
    const std::uint16_t mode = settings >> 14;
    QByteArray record;
    record.append(static_cast<char>(number & 0xFF));
    record.append(static_cast<char>(number >> 8));
    record.append(static_cast<char>(mode));
    record.append('\0');
    return record;
}

// Every race of every venue name in the list. A name listed twice shows the same
// section, so only its first entry is tried: that keeps a day of thousands of section
// markers within the fuzzer's time limit.
void showEveryRace(Session &session)
{
    const QStringList items = session.screen().cmbItems;
    session.selectRace(1); // no venue chosen yet
    for (qsizetype index = 0; index < items.size(); ++index) {
        if (items.indexOf(items[index]) != index)
            continue;
        session.selectVenue(static_cast<int>(index));
        for (int race = 1; race <= 12; ++race)
            session.selectRace(race);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const auto settings = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    const QByteArrayView day(
        reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));

    const QString root = scratch().path();
    const DataFolder folder = DataFolder::below(root);
    if (!folder.ensureData())
        std::abort();
    writeFile(folder.racekPath(), day);
    writeFile(folder.playerPath(), playerRecord(settings));

    Session session(folder);
    session.startUp();
    showEveryRace(session);
    session.searchFavourite();

    // The import reads the chosen file again and replaces racek.dat with it.
    const QString source = root + QStringLiteral("/k_fuzz.txt");
    writeFile(source, day);
    session.importResultFile(source, QStringLiteral("k_fuzz.txt"));
    if (!session.screen().cmbItems.isEmpty()) {
        session.selectVenue(0);
        session.selectRace(1);
    }
    return 0;
}
