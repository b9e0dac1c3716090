#include "querycommand.h"

#include "library/library.h"

#include <QBuffer>
#include <QStringDecoder>

namespace rusena::tool {

int runQueryCommand(CommandContext &context, QueryRunner run)
{
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    library::Library lib(context.dataFolder);
    const int status = run(
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

} // namespace rusena::tool
