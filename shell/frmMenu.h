#pragma once

#include "VbError.h"
#include "platform/Display.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;
class PlayTime;
class frmShowLoading;
class AppMenu;
class Command;
class Launcher;
class MenuButtons;
class ProcessWatch;
class StatsStore;

// The shell's full-screen main form: the menu of picture buttons. It runs the
// ordered start-up steps in Load(), and the orderly quit in Unload().
class frmMenu : public QWidget
{
    Q_OBJECT

public:
    explicit frmMenu(frmShowLoading *loadScreen);
    ~frmMenu() override;

    // The form's load handler. Ends the process itself on a fatal error.
    void Load();
    // The unload handler: every orderly quit comes here; the event loop ends after it.
    void Unload();
    bool IsUnloaded() const { return m_unloaded; }

    bool Save(bool asBackup);
    // True when no parent password is set or the given (or asked) one matches.
    bool PasswordOK(const QString &text, bool noDialog);

    // The play clock (shell/playtime). KeyTyped hears every key typed anywhere.
    void ResetTime();
    void PauseTimer(bool pause);
    void KeyTyped(const QString &key);
    bool ClockPaused() const;
    PlayTime *PlayClock = nullptr;

    void CleanBackup();
    void mnuExit_Click();

    // Brings the remembered screen mode back / remembers the present one.
    void GetOrgRes();
    void SetOrgRes();
    platform::DisplayMode OrgRes() const { return m_orgRes; }

    bool EditMode() const;

    // Media inserted (32) or removed (64) rebuilds the pictures, never in edit mode.
    void HandleShellNotify(int wParam, int lParam);

    // The button menu (shell/menu, shell/programs, shell/stats).
    void LoadButtons(int index, bool bringToFront = false);
    void UpdateButton(int index);
    void SetButtonPos(int index);
    void RefreshPictures();
    void RefreshButtons();
    // Repaints the background.
    void UpdateSettings();
    void ExecuteFile(int index, bool skipPassword, bool force);
    // Pops up the menu of running programs; false when none runs.
    bool MakeAppList();
    // The control array Menu: nullptr for an index that is not loaded.
    Command *Menu(int index) const;

    MenuButtons *Buttons = nullptr;
    ProcessWatch *Watch = nullptr;
    Launcher *Launch = nullptr;
    AppMenu *Apps = nullptr;
    StatsStore *Stats = nullptr;

    // Timers, in the order of the form's design.
    QTimer *HideTaskbarTimer = nullptr;
    QTimer *ResizeTimer = nullptr;
    QTimer *TimerRemoveLoadScreen = nullptr;
    QTimer *UnloadTimer = nullptr;
    QTimer *ShutdownTimer = nullptr;
    QTimer *PlaytimeTimer = nullptr; // owned by PlayClock
    QTimer *checkProcess = nullptr;
    QTimer *DBLCLICKDELAY = nullptr;
    QTimer *buttonDelayTimer = nullptr; // owned by Buttons

    QMenu *mnuMenu = nullptr;
    QAction *mnuEditMode = nullptr;
    QAction *mnuRefresh = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuApps = nullptr; // owned by Apps

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void runLoadSteps();
    void normaliseSettings();
    void runStartupProgram();
    void clearSettingsIfAsked();
    void showMainScreen();
    [[noreturn]] void failStartup(const VbError &error);
    void runExitProgram();

    void onTimerRemoveLoadScreen();
    void onUnloadTimer();
    void onShutdownTimer();
    void onHideTaskbarTimer();
    void onResizeTimer();
    void onEscape();
    void Menu_Click(int index);
    void Menu_DblClick(int index);

    QPointer<frmShowLoading> m_loadScreen;
    platform::DisplayMode m_orgRes;
    QPixmap m_background;
    bool m_unloading = false;
    bool m_unloaded = false;
};
