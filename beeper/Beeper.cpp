#include "Beeper.h"

#include "SettingsStore.h"
#include "SingleInstance.h"
#include "Tones.h"
#include "VbNumber.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace {

const QString Application = QStringLiteral("Brindle");
const QString Section = QStringLiteral("Beeper");

void save(const QString &key, const QString &value)
{
    if (!SettingsStore::SaveSetting(Application, Section, key, value))
        std::fprintf(stderr, "beeper: cannot write %s to %s\n", qPrintable(key),
                     qPrintable(SettingsStore::filePath(Application)));
}

} // namespace

Beeper::Beeper(const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_programFolder(programFolder)
{
    m_timer.setInterval(FirstInterval);
    connect(&m_timer, &QTimer::timeout, this, &Beeper::tick);
}

void Beeper::start()
{
    Tones::keepDeviceOpen(true); // a tone every tick: connecting each time costs more
    save(QStringLiteral("Running"), QStringLiteral("1"));
    m_timer.start();
}

void Beeper::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    Tones::keepDeviceOpen(false);
    save(QStringLiteral("Running"), QStringLiteral("0"));
    QCoreApplication::exit(0);
}

int Beeper::readWhole(const QString &key, int fallback)
{
    // Val would read "abc" as 0; here a text without a leading number keeps the
    // key's default, so a garbled "Interval" does not become a zero interval.
    static const QRegularExpression leadingNumber(QStringLiteral("^[ \\t]*[+-]?(\\d|\\.\\d)"));
    const QString text = SettingsStore::GetSetting(Application, Section, key);
    if (!leadingNumber.match(text).hasMatch())
        return fallback;
    return VbNumber::ValInt(text);
}

void Beeper::tick()
{
    // A shell that was killed cannot say "Quit" any more.
    if (!SingleInstance::isHeld(QStringLiteral("brindle"), m_programFolder)) {
        finish();
        return;
    }
    // What the shell wrote since the last tick, whatever the interval.
    SettingsStore::Refresh(Application);
    const int type = readWhole(QStringLiteral("BeepType"), 0);
    const int quit = readWhole(QStringLiteral("Quit"), 0);
    const int interval = std::clamp(readWhole(QStringLiteral("Interval"), 500), MinInterval, MaxInterval);

    // Only a change restarts the timer, so a steady cadence does not drift.
    if (interval != m_timer.interval())
        m_timer.setInterval(interval);
    const bool last = quit == 1;
    if (last)
        m_timer.stop();

    playPattern(type);
    m_toggle = !m_toggle;

    if (last)
        finish();
}

void Beeper::playPattern(int type)
{
    switch (type) {
    case 0:
        Tones::Beep(500, 100);
        Tones::Beep(1500, 500);
        break;
    case 1:
        Tones::Beep(2000, 200);
        break;
    case 2:
        if (m_toggle)
            Tones::Beep(500, 100);
        else
            Tones::Beep(800, 100);
        break;
    default:
        break; // an unknown pattern is silence
    }
}
