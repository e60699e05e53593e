#pragma once

#include "VbError.h"
#include "platform/Display.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;
class frmShowLoading;

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
    void CleanBackup();
    void mnuExit_Click();

    // Brings the remembered screen mode back / remembers the present one.
    void GetOrgRes();
    void SetOrgRes();
    platform::DisplayMode OrgRes() const { return m_orgRes; }

    bool EditMode() const;

    // Timers, in the order of the form's design.
    QTimer *HideTaskbarTimer = nullptr;
    QTimer *ResizeTimer = nullptr;
    QTimer *TimerRemoveLoadScreen = nullptr;
    QTimer *UnloadTimer = nullptr;
    QTimer *ShutdownTimer = nullptr;

    QMenu *mnuMenu = nullptr;
    QAction *mnuEditMode = nullptr;
    QAction *mnuRefresh = nullptr;
    QAction *mnuExit = nullptr;

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
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
    void UpdateSettings();

    QPointer<frmShowLoading> m_loadScreen;
    platform::DisplayMode m_orgRes;
    bool m_unloading = false;
    bool m_unloaded = false;
};
