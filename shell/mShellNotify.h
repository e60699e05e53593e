#pragma once

#include <functional>

// Shell change notifications: the shell hears about media being inserted (32)
// and removed (64), seen on Linux as the mount table changing.
namespace mShellNotify {

constexpr int SHCNE_MEDIAINSERTED = 32;
constexpr int SHCNE_MEDIAREMOVED = 64;

// True while a registration exists.
extern bool ShellNotifyHandle;

// Registers onEvent for media events; false when one is registered already or
// the mount table cannot be watched.
bool RegisterShellNotify(std::function<void(int event)> onEvent);
// False when no registration existed.
bool UnregisterShellNotify();

} // namespace mShellNotify
