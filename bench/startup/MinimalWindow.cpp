// The baseline: a Qt Widgets program that shows one full-screen window,
// says so on stdout once the window is up, and ends.
#include <QApplication>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.showFullScreen();
    QCoreApplication::processEvents();
    QTextStream(stdout) << "shown" << Qt::endl;
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
