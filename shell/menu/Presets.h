#pragma once

#include "data/SettingsRecord.h"

#include <QString>
#include <QStringList>

// Style presets: named copies of a button's look, kept in the settings list
// Presets beside the buttons. Names compare ignoring letter case and are kept
// as typed.
namespace Presets {

// The names of presets 0 .. PresetsMax.
QStringList Names(const SettingsRecord &settings);

// The first preset whose name is "default" in any letter case, or nullptr.
const BUTTON *DefaultPreset(const SettingsRecord &settings);

// Asks for a name (offering lastName, which then holds the name typed) and
// stores the button's style under it, overwriting a preset of that name only
// when the parent agrees. False when nothing was stored.
bool SaveStylePreset(SettingsRecord &settings, const BUTTON &button, QString &lastName);

// Puts a preset's look on a button, lock flag and edge styles included.
void ApplyPreset(const BUTTON &preset, BUTTON &button);

// Paste Style: the same look without the ExtraStrings list.
void CopyStyle(const BUTTON &from, BUTTON &to);

// True when a preset other than `except` has the name.
bool NameTaken(const SettingsRecord &settings, const QString &name, int except);

void Rename(SettingsRecord &settings, int index, const QString &name);
// Later presets move down; removing the only one leaves an empty list.
void Remove(SettingsRecord &settings, int index);

} // namespace Presets
