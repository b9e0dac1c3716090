#include "querycommand.h"

using namespace Qt::StringLiterals;

namespace rusena::tool {

namespace {

int runHistory(CommandContext &context)
{
    return runQueryCommand(context, &library::runHistoryCommand);
}

const bool registered = registerCommand(
    { u"history"_s, u"A player's races as CSV: history REG [--from D] [--to D]."_s, &runHistory });

} // namespace

} // namespace rusena::tool
