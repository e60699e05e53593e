#pragma once

#include "FixtureProcess.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

typedef struct _XDisplay Display;

// Helpers for the tests that run on a private X server (run-under-xvfb).
namespace x11kit {

// Runs events until `done` holds or `ms` passed; the final value of `done`.
bool waitUntil(const std::function<bool()> &done, int ms = 5000);

bool xdotool(const QStringList &args);

// A connection of the test's own, as another program would have.
::Display *display();

bool isViewable(unsigned long window);
// The 32-bit items of a window property (atoms, windows, cardinals); empty when it is missing.
QList<unsigned long> property(unsigned long window, const char *name);
// Viewable top-level client windows of the type (e.g. "_NET_WM_WINDOW_TYPE_DOCK").
QList<unsigned long> windowsOfType(const char *typeName);
// The viewable children of the root, bottom first: frames, the window manager's own windows, its menus;
// with depth 2 also their children.
QList<unsigned long> viewableTopLevels(int depth = 1);
// The window manager's frame around a client: its ancestor just below the root.
unsigned long frameOf(unsigned long client);
// The viewable windows inside the window, at any depth, in root coordinates.
QList<QRect> viewableInside(unsigned long window);
// Presses and releases each key by its keycode through XTest, adding no
// modifiers (xdotool presses Super_L along with Super_R, for one); in
// "Alt_L+Tab" the first keys are held while the last is tapped.
void tapKeys(const QStringList &keys);
// True when no program holds the whole keyboard.
bool keyboardFree();

// The fixture program: a focused window that logs the keys it receives.
class KeyFixture
{
public:
    bool start();
    bool focus();
    QStringList lines() const;
    // Sends a marker key and waits until it arrived, so every key sent before
    // it has arrived too; then returns and forgets the lines before it.
    QStringList takeLines();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FixtureProcess> m_process;
    unsigned long m_window = 0;
    int m_consumed = 0;
};

} // namespace x11kit
