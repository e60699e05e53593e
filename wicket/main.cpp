// wicket: the child's web browser. It offers only the links a parent approved
// (links.ini beside the program) and starts on start.html from the same folder.
#include "RefusalPage.h"
#include "WicketSettings.h"
#include "frmMain.h"

#include <SystemPlugins.h>

#include <QApplication>
#include <QWebEngineProfile>

int main(int argc, char *argv[])
{
    // Wicket takes no arguments. None reach Qt or the web engine, which would
    // take switches such as remote debugging from the command line.
    Q_UNUSED(argc)
    int qtArgc = 1;
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");

    RefusalPage::registerScheme();
    SystemPlugins::Restrict();
    QApplication app(qtArgc, argv);
    SystemPlugins::Confirm();
    QCoreApplication::setOrganizationName(QStringLiteral("Brindle"));
    QCoreApplication::setApplicationName(QStringLiteral("wicket"));

    // Off the record: the engine keeps nothing on disk, and several copies of
    // the browser never share a profile folder.
    QWebEngineProfile profile;
    RefusalPage::installOn(&profile);

    auto *window = new frmMain(WicketSettings::read(QCoreApplication::applicationDirPath()), &profile);
    window->ShowStartPage();
    window->show();
    const int result = app.exec();
    // Windows close themselves with deleteLater; their pages must go before the profile.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
