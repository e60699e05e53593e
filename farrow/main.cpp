#include "frmMain.h"

#include <SystemPlugins.h>

#include <QApplication>

int main(int argc, char *argv[])
{
    SystemPlugins::Restrict();
    QApplication app(argc, argv);
    SystemPlugins::Confirm();
    QApplication::setApplicationName(QStringLiteral("Farrow"));
    QStringList words = QApplication::arguments();
    words.removeFirst();
    frmMain window(words.join(QLatin1Char(' ')));
    window.show();
    return app.exec();
}
