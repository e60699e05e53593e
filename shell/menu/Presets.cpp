#include "Presets.h"

#include "platform/Services.h"

namespace Presets {
namespace {

bool valid(const SettingsRecord &settings, int index)
{
    return index >= 0 && index <= settings.PresetsMax && settings.Presets.has(index);
}

// The look a preset keeps: everything but what a button does and shows.
BUTTON styleOf(const BUTTON &button, const QString &name)
{
    BUTTON preset = button;
    preset.StyleName = name;
    preset.Caption.clear();
    preset.Link.clear();
    preset.Parameters.clear();
    preset.Password.clear();
    preset.PicturePath.clear();
    preset.InUse = 0;
    preset.EnsureExtraStrings();
    return preset;
}

} // namespace

QStringList Names(const SettingsRecord &settings)
{
    QStringList names;
    for (int i = 0; valid(settings, i); ++i)
        names << settings.Presets.at(i).StyleName;
    return names;
}

const BUTTON *DefaultPreset(const SettingsRecord &settings)
{
    for (int i = 0; valid(settings, i); ++i)
        if (settings.Presets.at(i).StyleName.toLower() == QLatin1String("default"))
            return &settings.Presets.at(i);
    return nullptr;
}

bool SaveStylePreset(SettingsRecord &settings, const BUTTON &button, QString &lastName)
{
    auto &dialogs = platform::Services::dialogs();
    int target = -1;
    for (bool asking = true; asking;) {
        const QString name = dialogs.inputBox(QStringLiteral("Enter Preset Name:"),
                                              QStringLiteral("Save Button As Preset"), lastName);
        if (name.isEmpty())
            return false;
        lastName = name;
        target = -1;
        asking = false;
        for (int i = 0; valid(settings, i); ++i) {
            if (settings.Presets.at(i).StyleName.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const int answer = dialogs.msgBox(QStringLiteral("You already have a preset with this name!\r\nOverwrite?"),
                                              platform::Msg::Exclamation | platform::Msg::OKCancel);
            if (answer != platform::Msg::OK) {
                asking = true;
                break;
            }
            target = i;
        }
    }
    if (target < 0) {
        target = settings.PresetsMax + 1;
        if (!settings.Presets.exists)
            settings.Presets.redim(target);
        else if (settings.Presets.items.size() <= target)
            settings.Presets.items.resize(target + 1);
        settings.PresetsMax = target;
    }
    settings.Presets.at(target) = styleOf(button, lastName);
    return true;
}

void CopyStyle(const BUTTON &from, BUTTON &to)
{
    to.TextAlignment = from.TextAlignment;
    to.PictureAlignment = from.PictureAlignment;
    to.BackColor = from.BackColor;
    to.ForeColor = from.ForeColor;
    to.FontName = from.FontName;
    to.FontBold = from.FontBold;
    to.FontItalic = from.FontItalic;
    to.FontSize = from.FontSize;
    to.Transparent = from.Transparent;
    to.Bevel = from.Bevel;
    to.NoGray = from.NoGray;
    to.PictureSize = from.PictureSize;
}

void ApplyPreset(const BUTTON &preset, BUTTON &button)
{
    CopyStyle(preset, button);
    button.ExtraCount = preset.ExtraCount;
    button.ExtraStrings = preset.ExtraStrings;
}

bool NameTaken(const SettingsRecord &settings, const QString &name, int except)
{
    for (int i = 0; valid(settings, i); ++i)
        if (i != except && settings.Presets.at(i).StyleName.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void Rename(SettingsRecord &settings, int index, const QString &name)
{
    if (valid(settings, index))
        settings.Presets.at(index).StyleName = name;
}

void Remove(SettingsRecord &settings, int index)
{
    if (!valid(settings, index))
        return;
    settings.Presets.items.removeAt(index - settings.Presets.lowerBound);
    --settings.PresetsMax;
    if (settings.Presets.items.isEmpty())
        settings.Presets.redim(0); // an existing list of one empty record, as "-clear" leaves it
}

} // namespace Presets
