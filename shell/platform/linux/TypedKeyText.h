#pragma once

#include <QString>

// What the typing monitor hands on for one pressed key.
namespace platform::keytext {

// The key's token ("<backspace>", "<tab>", "<enter>", "<space>", "<delete>",
// "<pause>") or the character it types. `keysym` is already translated under
// the current modifiers; `capsLock` and `control` are the Lock and Control
// modifiers that the translation did not use up. Keys that type nothing give
// "<Key:NAME>": it holds a capital letter, so it can never be part of a
// command (commands are compared with lower-cased passwords and "<pause>").
QString forKeysym(unsigned long keysym, bool capsLock, bool control);

} // namespace platform::keytext
