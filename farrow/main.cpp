#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Farrow"));
    QStringList words = QApplication::arguments();
    words.removeFirst();
    frmMain window(words.join(QLatin1Char(' ')));
    window.show();
    return app.exec();
}
