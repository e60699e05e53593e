#include "modGlobalsMain.h"

#ifdef BRINDLE_TEST_SEAMS
#include "platform/ScriptedDialogs.h"
#include "platform/Services.h"

#include <Tones.h>

#include <memory>

// Lets a test answer the message and input boxes from a file and watch the
// tones. Only the build's own program folder has this; never the installed one.
static void installTestSeams()
{
    const QString answers = qEnvironmentVariable("BRINDLE_TEST_DIALOGS");
    if (!answers.isEmpty())
        platform::Services::set(std::make_unique<platform::ScriptedDialogs>(answers));
    Tones::setLogFile(qEnvironmentVariable("BRINDLE_TONE_LOG"));
}
#endif

int main(int argc, char **argv)
{
#ifdef BRINDLE_TEST_SEAMS
    installTestSeams();
#endif
    return modGlobals::Main(argc, argv);
}
