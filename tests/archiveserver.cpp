// archiveserver RESULTS_DIR PROGRAMMES_DIR: serves the archives of two folders under the
// organiser's layout on a free port of 127.0.0.1 and prints the source address to give
// `rusena-library fetch --source`; runs until killed. For measuring a fetch without the
// network.

#include "archiveserver.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: archiveserver RESULTS_DIR PROGRAMMES_DIR\n";
        return 2;
    }
    archiveserver::ArchiveServer server(args[1], args[2]);
    if (!server.start()) {
        QTextStream(stderr) << "cannot listen on 127.0.0.1\n";
        return 1;
    }
    QTextStream(stdout) << server.source() << Qt::endl;
    return app.exec();
}
