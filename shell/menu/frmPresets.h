#pragma once

#include "base/Prompts.h"

#include <QDialog>

#include <optional>

class Command;
class QLabel;
class QListWidget;

// "Button Presets": the stored style presets with a preview of each, to be
// renamed or deleted. Works on a copy of the presets and hands it back.
class frmPresets : public QDialog
{
    Q_OBJECT

public:
    explicit frmPresets(const Prompts::PresetList &presets, QWidget *parent = nullptr);

    // Shows a fresh dialog modally: the presets as the parent left them, or
    // no value when none was renamed or deleted.
    static std::optional<Prompts::PresetList> Edit(const Prompts::PresetList &presets, QWidget *parent);
    // The presets as they are now.
    Prompts::PresetList Presets() const { return Prompts::PresetList::Of(m_work); }

private:
    void fillList();
    void showPreset(int index);
    void fitCaption();
    void Command4_Click(); // Rename...
    void Command1_Click(); // Delete...

    QListWidget *List1 = nullptr;
    Command *Command2 = nullptr; // preview
    QLabel *picBig = nullptr;
    QLabel *picSmall = nullptr;
    Command *Command4 = nullptr;
    Command *Command1 = nullptr;
    Command *Command3 = nullptr; // Close

    // Only its presets are used, so that the preset rules apply to the copy.
    SettingsRecord m_work;
};
