#pragma once

#include <QString>

// Small routines shared by every part of the shell.
namespace modUtil {

// Replaces the path variables of a stored text (".\", "%windir%", "%sysdir%",
// "%apppath%", "%documents%", "%favorites%", "%desktop%", "%programs%",
// "%startmenu%", "%childbrowser%"). Folder values end in "/".
QString ExpandPathVars(const QString &text);

// A stored path as the file system wants it: Windows separators become "/".
QString LocalPath(const QString &storedPath);

// The folder part of a path, up to and including its last separator.
QString FolderOf(const QString &path);

// Plays a sound file under the sound settings; with wait, returns when it has ended.
void PlayFile(const QString &path, bool wait = false);

// Waits the given time, letting window events (timers too) run meanwhile
// unless noEvents is set.
void WaitMs(int milliseconds, bool noEvents = false);

} // namespace modUtil
