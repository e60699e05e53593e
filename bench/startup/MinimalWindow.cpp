// The baseline: a Qt Widgets program that shows one full-screen window and
// says so on stdout once the window is up; then it ends, or with "--stay"
// keeps running (its memory can be read) until it is ended. With "--text" the
// window shows one line of text, which costs the fonts' start.
#include <QApplication>
#include <QLabel>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    if (app.arguments().contains(QStringLiteral("--text")))
        (new QLabel(QStringLiteral("Loading..."), &window))->move(100, 100);
    window.showFullScreen();
    QCoreApplication::processEvents();
    QTextStream(stdout) << "shown" << Qt::endl;
    if (!app.arguments().contains(QStringLiteral("--stay")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
