#pragma once

// Stand-ins for the platform while the play clock is tested: they record what
// the shell asked for and answer as the test says.

#include "platform/Desktop.h"
#include "platform/Display.h"
#include "platform/Keyboard.h"
#include "platform/Power.h"
#include "platform/Processes.h"
#include "platform/Sound.h"
#include "platform/Windows.h"

#include <Tones.h>

#include <QList>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>

#include <memory>

namespace playtimetest {

struct Opened {
    QString program;
    QString parameters;
    QString workDir;
};

class FakeProcesses : public platform::Processes
{
public:
    QList<Opened> opened;
    bool startsStayAlive = true; // a started program counts as running afterwards
    bool startsFail = false;     // as when beeper is missing
    QSet<platform::Pid> alive;
    platform::Pid nextPid = 4000;

    platform::Pid start(const QString &, const QString &, const QString &) override { return 0; }
    bool runAndWait(const QString &, const QString &, const QString &) override { return false; }
    platform::Pid shellOpen(const QString &file, const QString &parameters, const QString &workDir) override
    {
        opened.append({file, parameters, workDir});
        if (startsFail)
            return 0;
        const platform::Pid pid = ++nextPid;
        if (startsStayAlive)
            alive.insert(pid);
        return pid;
    }
    bool isRunning(platform::Pid pid) override { return alive.contains(pid); }
    bool terminate(platform::Pid pid) override { return alive.remove(pid); }
};

class FakePower : public platform::Power
{
public:
    bool accept = true;
    int powerOffs = 0;
    bool powerOff() override
    {
        ++powerOffs;
        return accept;
    }
    bool reboot() override { return accept; }
    bool logOff() override { return accept; }
    bool lockSession() override { return accept; }
};

class FakeWindows : public platform::Windows
{
public:
    // Widgets made top-most, by object name, in order.
    QStringList topMost;
    platform::WindowId findMainWindow(platform::Pid) override { return 0; }
    void setAppFocus(platform::Pid) override {}
    void activateWindow(platform::WindowId) override {}
    platform::WindowId foregroundWindow() override { return 0; }
    void requestClose(platform::WindowId) override {}
    void sendAltF4() override {}
    bool isResponding(platform::WindowId, int) override { return true; }
    QString windowTitle(platform::WindowId) override { return {}; }
    QList<TopLevel> topLevelWindows() override { return {}; }
    void setTopMost(QWidget *window, bool onTop) override
    {
        if (window && onTop)
            topMost.append(window->objectName());
    }
};

class QuietDesktop : public platform::Desktop
{
public:
    void showTaskbar(bool) override {}
    void showDesktop(bool) override {}
};

class QuietKeyboard : public platform::Keyboard
{
public:
    bool installKeyGrabs(const QList<int> &) override { return true; }
    void removeKeyGrabs() override {}
    bool startCapture(std::function<void(int)>, std::function<void()>) override { return false; }
    void stopCapture() override {}
    bool startTypingMonitor(std::function<void(const QString &)>) override { return true; }
    void stopTypingMonitor() override {}
};

class FixedDisplay : public platform::Display
{
public:
    QList<platform::DisplayMode> modes() override { return {current()}; }
    platform::DisplayMode current() override { return {1024, 768, 24, 60}; }
    bool setMode(const platform::DisplayMode &) override { return true; }
};

class SilentSound : public platform::Sound
{
public:
    bool hasOutput() override { return false; }
    void play(const QString &, bool) override {}
    void stop() override {}
};

using Tone = QPair<int, int>; // frequency, milliseconds

class RecordingTones : public Tones::Sink
{
public:
    explicit RecordingTones(std::shared_ptr<QList<Tone>> log)
        : m_log(std::move(log))
    {
    }
    void play(int frequency, int milliseconds) override { m_log->append({frequency, milliseconds}); }

private:
    std::shared_ptr<QList<Tone>> m_log;
};

inline const QList<Tone> ExpiryTones{{800, 100}, {2500, 200}, {2500, 200}, {800, 100}};
inline const QList<Tone> ResetTones{{2000, 50}, {1000, 50}, {2000, 50}};

} // namespace playtimetest
