#include "command.h"

#include <algorithm>

namespace rusena::tool {

namespace {

QList<Command> &registry()
{
    static QList<Command> list;
    return list;
}

} // namespace

bool registerCommand(const Command &command)
{
    registry().append(command);
    return true;
}

QList<Command> commands()
{
    QList<Command> list = registry();
    std::sort(list.begin(), list.end(),
        [](const Command &a, const Command &b) { return a.name < b.name; });
    return list;
}

} // namespace rusena::tool
