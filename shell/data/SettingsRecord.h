#pragma once

#include <QList>
#include <QString>

#include <array>

// A list as settings.dat stores it: it may be absent altogether, and it
// carries its own lowest index (always 0 in files we write).
template<typename T>
struct VbList {
    bool exists = false;
    qint32 lowerBound = 0;
    QList<T> items;

    qint32 upperBound() const { return exists ? lowerBound + qint32(items.size()) - 1 : -1; }
    // Re-creates the list with elements 0 to upper, all empty.
    void redim(qint32 upper)
    {
        exists = true;
        lowerBound = 0;
        items = QList<T>(upper + 1);
    }
    bool has(qint32 index) const { return exists && index >= lowerBound && index - lowerBound < items.size(); }
    T &at(qint32 index) { return items[index - lowerBound]; }
    const T &at(qint32 index) const { return items.at(index - lowerBound); }

    bool operator==(const VbList &) const = default;
};

// One menu button or one style preset. Field order is the file order.
struct BUTTON {
    QString Caption;
    qint32 TextAlignment = 0;
    qint32 PictureAlignment = 0;
    qint32 BackColor = 0;
    qint32 ForeColor = 0;
    QString FontName;
    qint16 FontBold = 0;
    qint16 FontItalic = 0;
    float FontSize = 0;
    QString PicturePath;
    qint32 Width = 0;
    qint32 Height = 0;
    qint32 Left = 0;
    qint32 Top = 0;
    qint16 Enabled = 0;
    QString Link;
    QString Parameters;
    QString Password;
    qint32 InUse = 0;
    qint16 OneInstance = 0;
    QString StyleName;
    qint16 UseShellExecute = 0;
    qint16 SetResolution = 0;
    qint16 ScreenWidth = 0;
    qint16 ScreenHeight = 0;
    qint16 RefreshRate = 0;
    quint8 ColorDepth = 0;
    qint16 Selected = 0;
    qint16 Transparent = 0;
    qint16 Bevel = 0;
    qint32 NoGray = 0;
    qint32 PictureSize = 0;
    qint32 StartTime = 0;
    qint32 ExtraCount = 0;
    VbList<QString> ExtraStrings;

    // ExtraStrings runs from 0 to ExtraCount, at least to 5: (0) the lock
    // flag, (1) mouse effects on, (2)-(4) the three edge styles.
    static constexpr qint32 MinExtraCount = 5;
    // Grows the list to the minimum, keeping what it holds.
    void EnsureExtraStrings();
    // The start-up rule: a record below the minimum gets six empty strings.
    void ResetShortExtraStrings();

    bool operator==(const BUTTON &) const = default;
};

// The parent's start-up program (0) and exit program (1), kept in
// ShellCommands 3k (path), 3k + 1 (arguments) and 3k + 2 (wait flag).
struct ParentProgram {
    QString path;
    QString arguments;
    bool wait = false; // the stored flag is exactly 1
};

// Truth values as stored: 0 false, -1 true.
constexpr qint16 VbTrue = -1;
constexpr qint16 VbFalse = 0;

// Everything a parent configures, read and written whole as settings.dat.
struct SettingsRecord {
    static constexpr qint32 MinShellCommandsMax = 5;
    ParentProgram Program(int which) const;
    // Grows ShellCommands to its six slots as needed, keeping the other program.
    void SetProgram(int which, const ParentProgram &program);
    // The start-up rule: fewer than six slots are made anew, all empty.
    void ResetShortShellCommands();

    qint32 ShellCommandsMax = 0;
    VbList<QString> ShellCommands;
    qint32 ResponseTimeout = 0;
    qint32 SnapToGrid = 0;
    QString Password;
    qint32 ScreenBackColor = 0;
    qint32 Reserved1 = 0;
    VbList<BUTTON> Buttons;
    qint32 ButtonsMax = 0;
    QString FontName;
    float FontSize = 0;
    qint16 FontItalic = 0;
    qint16 FontBold = 0;
    qint32 ScreenTextColor = 0;
    std::array<qint32, 17> CustomColors{};
    qint32 Gradient1Color = 0;
    qint32 Gradient2Color = 0;
    qint32 GradientAngle = 0;
    QString LastPictureFolder;
    QString LastFileFolder;
    QString BackgroundPicture;
    qint32 BackgroundStyle = 0;
    qint16 PictureStretch = 0;
    qint16 PictureKeepAspect = 0;
    qint16 GradientBehindPicture = 0;
    qint16 OneProcessOnly = 0;
    qint16 AskToCloseRunning = 0;
    qint16 ShowStatusBar = 0;
    qint16 ShowSystemInfoBar = 0;
    qint16 ShowActiveApps = 0;
    qint32 StatusBackColor = 0;
    qint32 StatusTextColor = 0;
    VbList<BUTTON> Presets;
    qint32 PresetsMax = 0;
    QString AskCloseSound;
    QString CloseFirstSound;
    qint16 BeepIfNoSound = 0;
    qint16 SoundsEnabled = 0;
    QString WelcomeSound;
    QString ExitSound;
    QString Reserved2;
    qint32 ButtonFreezeSeconds = 0;
    qint32 GridSize = 0;
    qint32 StatsSortKey = 0;
    qint32 StatsSortOrder = 0;
    QString Reserved3;
    QString Reserved4;

    bool operator==(const SettingsRecord &) const = default;
};
