#pragma once

#include "data/VbError.h"
#include "platform/Display.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>

class QTimer;
class AppMenu;
class CaptionVariables;
class Command;
class EditGestures;
class FormPrompts;
class Launcher;
class LiveSystemSource;
class MenuButtons;
class MenuEditor;
class PlayTime;
class RemoteServer;
class ProcessWatch;
class Prompts;
class StatsStore;
class StatusBar;
class frmPause;
class frmCountdown;
class frmLastMinute;
class frmLock;
class frmShowLoading;

// The shell's full-screen main form: the menu of picture buttons. It runs the
// ordered start-up steps in Load(), and the orderly quit in Unload(). It owns
// every part of the running shell and wires them together.
class frmMenu : public QWidget
{
    Q_OBJECT

public:
    // Without prompts the shell's own forms ask the questions.
    explicit frmMenu(frmShowLoading *loadScreen, Prompts *prompts = nullptr);
    ~frmMenu() override;

    // The form's load handler. Ends the process itself on a fatal error.
    void Load();
    // The unload handler: every orderly quit comes here; the event loop ends after it.
    void Unload();
    bool IsUnloaded() const { return m_unloaded; }

    bool Save(bool asBackup);
    // True when no parent password is set or the given (or asked) one matches.
    bool PasswordOK(const QString &text, bool noDialog);

    // The play clock. KeyTyped hears every key typed anywhere.
    void ResetTime();
    void PauseTimer(bool pause);
    void KeyTyped(const QString &key);
    bool ClockPaused() const;

    void mnuExit_Click();
    bool EditMode() const;

    // Media inserted (32) or removed (64) rebuilds the pictures, never in edit mode.
    void HandleShellNotify(int wParam, int lParam);

    void LoadButtons(int index, bool bringToFront = false);
    void RefreshPictures();
    void ExecuteFile(int index, bool skipPassword, bool force);
    // Pops up the menu of running programs; false when none runs.
    bool MakeAppList();
    // The control array Menu: nullptr for an index that is not loaded.
    Command *Menu(int index) const;
    // Copies the settings into the information bar and shows the clock at once.
    void UpdateView();
    // After the settings dialog: the information bar and the background anew.
    void AddNewSettings();

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void runLoadSteps();
    void normaliseSettings();
    void clearSettingsIfAsked();
    void showMainScreen();
    [[noreturn]] void failStartup(const VbError &error);
    // The parent's start-up (0) or exit (1) program.
    void runParentProgram(int which, bool atStartup);

    void GetOrgRes();
    void SetOrgRes();
    void restoreScreenMode();
    void UpdateSettings();
    // Leaving edit mode without saving: the files as they are on disk.
    void reloadDataFiles();

    void onTimerRemoveLoadScreen();
    void onUnloadTimer();
    void onShutdownTimer();
    void onResizeTimer();
    void onEscape();
    void onCaptionParser();
    void onClockTimer();
    void alignTicks();
    void onPausedChanged(bool paused);
    void Menu_Click(int index);
    void Menu_DblClick(int index);
    // The windows of the play clock a child sees.
    void showCountdown(qint64 seconds);
    void showLastMinute(qint64 seconds);
    void showLock(bool locked);

    class RemoteLink;

    QPointer<frmShowLoading> m_loadScreen;
    std::unique_ptr<StatsStore> m_stats;
    std::unique_ptr<FormPrompts> m_ownPrompts;
    Prompts *m_prompts;
    MenuButtons *m_buttons = nullptr;
    ProcessWatch *m_watch = nullptr;
    Launcher *m_launch = nullptr;
    AppMenu *m_apps = nullptr;
    PlayTime *m_playClock = nullptr;
    std::unique_ptr<frmPause> m_pauseScreen;
    std::unique_ptr<frmCountdown> m_countdown;
    std::unique_ptr<frmLastMinute> m_lastMinute;
    std::unique_ptr<frmLock> m_lock;
    std::unique_ptr<RemoteLink> m_remoteLink;
    RemoteServer *m_remote = nullptr;
    std::unique_ptr<LiveSystemSource> m_system;
    std::unique_ptr<CaptionVariables> m_captions;
    StatusBar *m_statusBar = nullptr;

    QTimer *m_resizeTimer = nullptr;
    QTimer *m_timerRemoveLoadScreen = nullptr;
    QTimer *m_unloadTimer = nullptr;
    QTimer *m_shutdownTimer = nullptr;
    QTimer *m_dblClickDelay = nullptr;
    QTimer *m_captionParser = nullptr;
    QTimer *m_clockTimer = nullptr;

    MenuEditor *m_editor = nullptr;
    EditGestures *m_gestures = nullptr;

    platform::DisplayMode m_orgRes;
    QPixmap m_background;
    bool m_unloading = false;
    bool m_unloaded = false;
};
