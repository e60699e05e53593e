#pragma once

#include <QString>
#include <QStringList>

#include <array>

// Everything the settings dialog shows, apart from its widgets: read from the
// settings record, the play-time section of the store, Wicket's settings.ini
// and stored back to the same places.
struct SettingsValues
{
    // The colour boxes in their order on the form.
    enum Colour { ScreenBack, ScreenText, Gradient2, Gradient1, StatusText, StatusBack, ColourCount };
    // The sounds in their order on the form.
    enum Sound { CloseFirst, AskClose, Welcome, Goodbye, SoundCount };

    // Screen layout
    bool showStatusBar = false;
    bool showSystemInfoBar = false;
    bool showActiveApps = false;
    std::array<qint32, ColourCount> colours{};
    QString fontName;
    double fontSize = 8;
    bool fontBold = false;
    bool fontItalic = false;
    int backgroundStyle = 0;
    int gradientAngle = 0;
    int gridSize = 30;
    bool pictureStretch = false;
    bool pictureKeepAspect = false;
    bool gradientBehindPicture = false;
    QString backgroundPicture;
    // Sound options
    std::array<QString, SoundCount> sounds;
    bool soundsEnabled = true;
    bool beepIfNoSound = false;
    // Advanced
    bool oneProcessOnly = false;
    bool askToCloseRunning = false;
    int freezeSeconds = 0;
    int responseTimeout = 10;
    QString password;
    // Startup (0) and exit (1) programs
    std::array<QString, 2> programs;
    std::array<QString, 2> parameters;
    std::array<bool, 2> waitForProgram{};
    // Special options: list positions of the play-time and warning lists
    int playTimeIndex = 0;
    int warnIndex = 5;
    bool beep = true;
    bool shutdownPc = true;
    bool popupsAllowed = false;
    bool stayOnApprovedSites = false;
    bool countdown = true;
    // Schedule, as the play clock understands the keys; "" where a key is
    // missing or holds text of another form. Weekdays from Monday.
    QString dailyStart;                // "HH:MM"
    std::array<QString, 7> dayLimits;  // five-minute steps, "0": no limit
    std::array<QString, 7> dayHours;   // "HH:MM-HH:MM"

    static SettingsValues Read();

    // Writes every value to where it lives, the play-time values in one
    // write; a schedule key whose meaning did not change is not written. The
    // parts that could not be written are named in the result and logged;
    // the rest is stored all the same.
    QStringList Store() const;

    // The lists of the dialog; a value is its position in the list (the
    // snap sizes from 5 on).
    static QStringList FreezeItems();
    static QStringList TimeoutItems();
    static QStringList PlayTimeItems();
    static QStringList WarnItems();
    static QStringList SnapItems();
    static constexpr int SmallestSnap = 5;

    static QString WicketSettingsPath();

    bool operator==(const SettingsValues &) const = default;
};
