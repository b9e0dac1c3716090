// rusena-library [--data-folder DIR] COMMAND ...: the race library from the command line,
// for scripted daily use. The commands are listed in commands.cpp.

#include "command.h"

#include "store/heap.h"
#include "store/translations.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    rusena::keepFreedHeap();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rusena-library"));
    // The parser's own words (usage, unknown option) in Japanese, as the tool's.
    rusena::installQtJapanese(app);
    // Standard output as a device, so that the CSV commands write their bytes straight
    // through it.
    QFile stdoutFile;
    stdoutFile.open(stdout, QIODevice::WriteOnly);
    QTextStream out(&stdoutFile);
    QTextStream err(stderr);
    const int status = rusena::tool::runCommandLine(app.arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
