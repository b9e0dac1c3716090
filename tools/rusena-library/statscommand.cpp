#include "querycommand.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runStats(CommandContext &context)
{
    return runQueryCommand(context, &library::runStatsCommand);
}

const bool registered = registerCommand({ u"stats"_s,
    u"Starts and rates by venue and course as CSV: stats [--venue CODE] [--from D] [--to D]."_s,
    &runStats });

} // namespace

} // namespace rusena::tool
