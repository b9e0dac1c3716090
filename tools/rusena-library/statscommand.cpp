#include "command.h"

#include "library/library.h"
#include "library/querycommands.h"

#include <QBuffer>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runStats(CommandContext &context)
{
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    library::Library lib(context.dataFolder);
    const int status = library::runStatsCommand(
        context.arguments.mid(1),
        [&lib](QString &why) -> std::optional<QSqlDatabase> {
            const library::Status opened = lib.open();
            if (!opened.ok()) {
                why = opened.error;
                return std::nullopt;
            }
            return lib.database();
        },
        csv, context.err);
    // The CSV is UTF-8 already; decoded keeping its byte-order mark, the stream writes it
    // back byte for byte.
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    context.out << QString(decode(csv.data()));
    return status;
}

const bool registered = registerCommand({ u"stats"_s,
    u"Starts and rates by venue and course as CSV: stats [--venue CODE] [--from D] [--to D]."_s,
    &runStats });

} // namespace

} // namespace rusena::tool
