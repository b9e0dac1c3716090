#include "app/app.h"
#include "app/faces.h"
#include "store/datafolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rusena"));
    rusena::installFaceSubstitutions();
    QApplication::setFont(rusena::designFont(rusena::faces::PGothic, 9));

    rusena::App app(rusena::DataFolder::standard());
    app.start();
    return QApplication::exec();
}
