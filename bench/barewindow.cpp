// The start-up floor: a Qt Widgets program that shows one empty window as large as the
// viewer's main window and quits once it has been painted. With --label the window also
// shows one line of Japanese text, which is what pulls in the font system (fontconfig
// set-up and the CJK font fallbacks) that any viewer of these files pays for.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {

// As the viewer does: one byte to RUSENA_FIRST_PAINT_FD once the window is painted.
void notifyFirstPaint()
{
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue("RUSENA_FIRST_PAINT_FD", &ok);
    QFile out;
    if (ok && out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered))
        out.write("p", 1);
}

class QuitOnPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                notifyFirstPaint();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(599, 391);
    if (QCoreApplication::arguments().contains(QStringLiteral("--label")))
        new QLabel(QStringLiteral("ルセナソフト　競走成績"), &window);
    QuitOnPaint quitOnPaint;
    window.installEventFilter(&quitOnPaint);
    window.show();
    return QApplication::exec();
}
