// beeper: sounds an attention pattern while the shell asks for it through the
// settings store (section "Beeper" of application "Brindle").
#include "Beeper.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "SystemPlugins.h"
#include "Tones.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// The suite's program folder: beeper lives in its beeper/ subfolder. The shell
// checks the lock with the same (canonical) folder.
QString programFolder()
{
    const QString parent = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    const QString canonical = QFileInfo(parent).canonicalFilePath();
    return canonical.isEmpty() ? parent : canonical;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef BRINDLE_TEST_SEAMS
    // Lets a test hear the tones; only the build's own program folder has this.
    Tones::setLogFile(qEnvironmentVariable("BRINDLE_TONE_LOG"));
#endif
    SystemPlugins::Restrict();
    QCoreApplication app(argc, argv);
    SystemPlugins::Confirm();
    QCoreApplication::setApplicationName(QStringLiteral("beeper"));

    const QString folder = programFolder();
    SingleInstance instance(QStringLiteral("beeper"), folder);
    if (!instance.tryAcquire())
        return 0; // the running copy goes on with the same settings

    // Set up before "Running" is written, so no signal can leave it at "1".
    QuitSignals quitSignals;
    if (!quitSignals.isValid())
        std::fprintf(stderr, "beeper: cannot watch for termination signals\n");

    Beeper beeper(folder);
    QObject::connect(&quitSignals, &QuitSignals::received, &beeper, &Beeper::finish);
    beeper.start();
    return app.exec();
}
