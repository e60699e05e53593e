#include "settings/SettingsValues.h"

#include "base/TimeLimitStore.h"
#include "base/modGlobals.h"
#include "playtime/DayRules.h"

#include <IniFile.h>
#include <SettingsStore.h>
#include <VbNumber.h>

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <algorithm>

using modGlobals::AppTitle;
using modGlobals::SS;

namespace {

const QString TimeLimit = QStringLiteral("TimeLimit");
const QString WicketSection = QStringLiteral("settings");

qint16 vb(bool value)
{
    return value ? VbTrue : VbFalse;
}

QString getTime(const QString &key, const QString &defaultValue)
{
    return TimeLimitStore::Get(key, defaultValue);
}

// A stored position as a list position; one outside the list gives the
// nearest end.
int position(double stored, const QStringList &items)
{
    return int(std::clamp(stored, 0.0, double(items.size() - 1)));
}

// The schedule's keys as the play clock reads them: text of another form is no value.
QString startText(const QString &stored)
{
    const std::optional<int> minute = DayRules::ParseTime(stored);
    return minute ? QTime(0, 0).addSecs(*minute * 60).toString(QStringLiteral("HH:mm")) : QString();
}

QString limitText(const QString &stored)
{
    const std::optional<int> steps = DayRules::ParseSteps(stored);
    return steps ? QString::number(*steps) : QString();
}

QString hoursText(const QString &stored)
{
    const std::optional<DayRules::Hours> hours = DayRules::ParseHours(stored);
    return hours ? hours->text() : QString();
}

// Only a key whose meaning changes is written; "" removes it.
void setChanged(SettingsStore::Change &change, const QString &key, const QString &wanted, const QString &now)
{
    if (wanted == now)
        return;
    if (wanted.isEmpty())
        change.remove(TimeLimit, key);
    else
        change.set(TimeLimit, key, wanted);
}

} // namespace

QString SettingsValues::WicketSettingsPath()
{
    return modGlobals::AppPath() + QStringLiteral("wicket/settings.ini");
}

QStringList SettingsValues::FreezeItems()
{
    QStringList items{QStringLiteral("Disabled"), QStringLiteral("1 second")};
    for (int s = 2; s <= 10; ++s)
        items << QString::number(s) + QStringLiteral(" seconds");
    return items;
}

QStringList SettingsValues::TimeoutItems()
{
    QStringList items{QStringLiteral("Disabled")};
    for (int s = 1; s <= 21; ++s)
        items << QString::number(s) + QStringLiteral(" second(s)") + (s == 10 ? QStringLiteral(" Default*") : QString());
    return items;
}

QStringList SettingsValues::PlayTimeItems()
{
    QStringList items{QStringLiteral("Disabled")};
    for (int m = 5; m <= 280; m += 5)
        items << QString::number(m) + QStringLiteral(" Minutes");
    return items;
}

QStringList SettingsValues::WarnItems()
{
    QStringList items;
    for (int s = 5; s <= 120; s += 5)
        items << QString::number(s);
    return items;
}

QStringList SettingsValues::SnapItems()
{
    QStringList items;
    for (int size = SmallestSnap; size <= 50; ++size)
        items << QString::number(size);
    return items;
}

SettingsValues SettingsValues::Read()
{
    SettingsValues v;
    v.showStatusBar = SS.ShowStatusBar != 0;
    v.showSystemInfoBar = SS.ShowSystemInfoBar != 0;
    v.showActiveApps = SS.ShowActiveApps != 0;
    v.colours = {SS.ScreenBackColor, SS.ScreenTextColor, SS.Gradient2Color,
                 SS.Gradient1Color,  SS.StatusTextColor, SS.StatusBackColor};
    v.fontName = SS.FontName;
    v.fontSize = SS.FontSize;
    v.fontBold = SS.FontBold != 0;
    v.fontItalic = SS.FontItalic != 0;
    v.backgroundStyle = std::clamp(SS.BackgroundStyle, 0, 2);
    v.gradientAngle = SS.GradientAngle;
    v.gridSize = SmallestSnap + position(SS.GridSize - SmallestSnap, SnapItems());
    v.pictureStretch = SS.PictureStretch != 0;
    v.pictureKeepAspect = SS.PictureKeepAspect != 0;
    v.gradientBehindPicture = SS.GradientBehindPicture != 0;
    v.backgroundPicture = SS.BackgroundPicture;
    v.sounds = {SS.CloseFirstSound, SS.AskCloseSound, SS.WelcomeSound, SS.ExitSound};
    v.soundsEnabled = SS.SoundsEnabled != 0;
    v.beepIfNoSound = SS.BeepIfNoSound != 0;
    v.oneProcessOnly = SS.OneProcessOnly != 0;
    v.askToCloseRunning = SS.AskToCloseRunning != 0;
    v.freezeSeconds = position(SS.ButtonFreezeSeconds, FreezeItems());
    v.responseTimeout = position(SS.ResponseTimeout, TimeoutItems());
    v.password = SS.Password;
    for (int k = 0; k < 2; ++k) {
        const ParentProgram program = SS.Program(k);
        v.programs[k] = program.path;
        v.parameters[k] = program.arguments;
        v.waitForProgram[k] = program.wait;
    }
    v.playTimeIndex = position(VbNumber::Val(getTime(QStringLiteral("PlayTime"), QStringLiteral("0"))), PlayTimeItems());
    v.warnIndex = position(VbNumber::Val(getTime(QStringLiteral("WarnTime"), QStringLiteral("5"))), WarnItems());
    v.beep = VbNumber::Val(getTime(QStringLiteral("Beep"), QStringLiteral("1"))) == 1.0;
    v.shutdownPc = VbNumber::Val(getTime(QStringLiteral("Shutdown"), QStringLiteral("-1"))) == -1.0;
    v.countdown = getTime(DayRules::CountdownKey, QString()).trimmed() != QLatin1String("0");
    v.dailyStart = startText(getTime(DayRules::DailyStartKey, QString()));
    for (int d = 0; d < 7; ++d) {
        v.dayLimits[d] = limitText(getTime(DayRules::LimitKey(Qt::Monday + d), QString()));
        v.dayHours[d] = hoursText(getTime(DayRules::HoursKey(Qt::Monday + d), QString()));
    }
    IniFile wicket(WicketSettingsPath());
    wicket.load();
    v.popupsAllowed = VbNumber::Val(wicket.value(WicketSection, QStringLiteral("Allowpopup"))) == 1.0;
    v.stayOnApprovedSites = VbNumber::Val(wicket.value(WicketSection, QStringLiteral("StayOnApprovedSites"))) == 1.0;
    return v;
}

QStringList SettingsValues::Store() const
{
    SS.GridSize = gridSize;
    SS.ResponseTimeout = responseTimeout;
    SS.ScreenBackColor = colours[ScreenBack];
    SS.ScreenTextColor = colours[ScreenText];
    SS.Gradient2Color = colours[Gradient2];
    SS.Gradient1Color = colours[Gradient1];
    SS.GradientAngle = gradientAngle;
    SS.Password = password;
    SS.BackgroundStyle = backgroundStyle;
    SS.PictureStretch = vb(pictureStretch);
    SS.PictureKeepAspect = vb(pictureKeepAspect);
    SS.GradientBehindPicture = vb(gradientBehindPicture);
    SS.BackgroundPicture = backgroundPicture;
    SS.FontName = fontName;
    SS.FontBold = vb(fontBold);
    SS.FontItalic = vb(fontItalic);
    SS.FontSize = float(fontSize);
    SS.ShowActiveApps = vb(showActiveApps);
    SS.AskToCloseRunning = vb(askToCloseRunning);
    SS.ShowSystemInfoBar = vb(showSystemInfoBar);
    SS.OneProcessOnly = vb(oneProcessOnly);
    SS.ShowStatusBar = vb(showStatusBar);
    SS.StatusTextColor = colours[StatusText];
    SS.StatusBackColor = colours[StatusBack];
    SS.ButtonFreezeSeconds = freezeSeconds;
    SS.BeepIfNoSound = vb(beepIfNoSound);
    SS.CloseFirstSound = sounds[CloseFirst];
    SS.AskCloseSound = sounds[AskClose];
    SS.WelcomeSound = sounds[Welcome];
    SS.ExitSound = sounds[Goodbye];
    SS.SoundsEnabled = vb(soundsEnabled);
    for (int k = 0; k < 2; ++k)
        SS.SetProgram(k, {programs[k], parameters[k], waitForProgram[k]});

    QStringList failed;
    QString why;
    SettingsStore::Change change(AppTitle);
    change.set(TimeLimit, QStringLiteral("PlayTime"), QString::number(playTimeIndex))
        .set(TimeLimit, QStringLiteral("WarnTime"), QString::number(warnIndex))
        .set(TimeLimit, QStringLiteral("Beep"), beep ? QStringLiteral("1") : QStringLiteral("0"))
        .set(TimeLimit, QStringLiteral("Shutdown"), shutdownPc ? QStringLiteral("-1") : QStringLiteral("0"));
    const SettingsValues stored = Read();
    setChanged(change, DayRules::CountdownKey, countdown ? QString() : QStringLiteral("0"),
               stored.countdown ? QString() : QStringLiteral("0"));
    setChanged(change, DayRules::DailyStartKey, dailyStart, stored.dailyStart);
    for (int d = 0; d < 7; ++d) {
        setChanged(change, DayRules::LimitKey(Qt::Monday + d), dayLimits[d], stored.dayLimits[d]);
        setChanged(change, DayRules::HoursKey(Qt::Monday + d), dayHours[d], stored.dayHours[d]);
    }
    if (!change.save(&why)) {
        failed << QStringLiteral("play time (") + SettingsStore::filePath(AppTitle) + QLatin1Char(')');
        modGlobals::WriteLog(QStringLiteral("Settings()::Play time not saved: ") + why);
    }

    IniFile wicket(WicketSettingsPath());
    wicket.load();
    wicket.setValue(WicketSection, QStringLiteral("Allowpopup"), popupsAllowed ? QStringLiteral("1") : QStringLiteral("0"));
    wicket.setValue(WicketSection, QStringLiteral("StayOnApprovedSites"),
                    stayOnApprovedSites ? QStringLiteral("1") : QStringLiteral("0"));
    why = QStringLiteral("Cannot create its folder");
    if (!QDir().mkpath(QFileInfo(WicketSettingsPath()).absolutePath()) || !wicket.save(&why)) {
        failed << QStringLiteral("Wicket settings (") + WicketSettingsPath() + QLatin1Char(')');
        modGlobals::WriteLog(QStringLiteral("Settings()::Wicket settings not saved: ") + why);
    }
    return failed;
}
