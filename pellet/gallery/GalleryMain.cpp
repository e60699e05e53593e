// pellet-gallery: shows the Command control in all its looks.
//   pellet-gallery [--screenshot FILE]
// With --screenshot the window is grabbed to a PNG file and the program ends.

#include "GalleryWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the Pellet Command button in all its looks."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window to <file> (PNG) and exit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    GalleryWindow window;
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    window.showForcedStates();

    if (!parser.isSet(screenshot))
        return app.exec();

    QApplication::processEvents();
    const QString file = parser.value(screenshot);
    if (!window.grab().save(file, "PNG")) {
        std::fprintf(stderr, "pellet-gallery: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
