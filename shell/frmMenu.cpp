#include "frmMenu.h"

#include "ShutDown.h"
#include "data/Backup.h"
#include "data/SettingsFile.h"
#include "frmShowLoading.h"
#include "keys/modKeys.h"
#include "modGlobals.h"
#include "mShellNotify.h"
#include "modKeyHandler.h"
#include "modUtil.h"
#include "platform/Services.h"
#include "menu/Launcher.h"
#include "menu/MenuBackground.h"
#include "menu/MenuButtons.h"
#include "programs/AppMenu.h"
#include "programs/ProcessWatch.h"
#include "stats/StatsStore.h"
#include "playtime/PlayTime.h"
#include "playtime/frmPassword.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <Command.h>
#include <OleColor.h>
#include <VbNumber.h>
#include <SettingsStore.h>

using namespace modGlobals;

namespace {

QTimer *makeTimer(QObject *owner, const char *name, int interval, bool singleShot = false)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    return timer;
}

QAction *makeAction(QMenu *menu, const char *name, const QString &text)
{
    auto *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

} // namespace

frmMenu::frmMenu(frmShowLoading *loadScreen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_loadScreen(loadScreen)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(AppTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // paintEvent covers the whole form with the background picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    HideTaskbarTimer = makeTimer(this, "HideTaskbarTimer", 50);
    ResizeTimer = makeTimer(this, "ResizeTimer", 10, true);
    TimerRemoveLoadScreen = makeTimer(this, "TimerRemoveLoadScreen", 50, true);
    UnloadTimer = makeTimer(this, "UnloadTimer", 10, true);
    ShutdownTimer = makeTimer(this, "ShutdownTimer", 250, true);
    connect(HideTaskbarTimer, &QTimer::timeout, this, &frmMenu::onHideTaskbarTimer);
    connect(ResizeTimer, &QTimer::timeout, this, &frmMenu::onResizeTimer);
    connect(TimerRemoveLoadScreen, &QTimer::timeout, this, &frmMenu::onTimerRemoveLoadScreen);
    connect(UnloadTimer, &QTimer::timeout, this, &frmMenu::onUnloadTimer);
    connect(ShutdownTimer, &QTimer::timeout, this, &frmMenu::onShutdownTimer);

    // The button menu: the controls, supervision, activation and statistics.
    checkProcess = makeTimer(this, "checkProcess", 250);
    DBLCLICKDELAY = makeTimer(this, "DBLCLICKDELAY", 10, true);
    Stats = new StatsStore();
    Buttons = new MenuButtons(this, [this] { return EditMode(); });
    buttonDelayTimer = Buttons->buttonDelayTimer;
    Watch = new ProcessWatch(Buttons, Stats, this);
    Launch = new Launcher(Buttons, Watch, Stats, this);
    Apps = new AppMenu(this);
    mnuApps = Apps->mnuApps;
    const auto restoreMode = [this] {
        if (platform::Services::display().current() != m_orgRes)
            SetOrgRes();
    };
    Watch->SetOrgRes = restoreMode;
    Launch->SetOrgRes = restoreMode;
    Launch->ShowPasswordDialog = [] { frmPassword::ShowModal(); };
    connect(Buttons, &MenuButtons::rebuilt, Watch, &ProcessWatch::Redim);
    connect(Buttons, &MenuButtons::buttonLoaded, Watch, &ProcessWatch::Extend);
    connect(Buttons, &MenuButtons::Click, this, &frmMenu::Menu_Click);
    connect(Buttons, &MenuButtons::DblClick, this, &frmMenu::Menu_DblClick);
    connect(checkProcess, &QTimer::timeout, Watch, &ProcessWatch::checkProcess_Timer);

    PlayClock = new PlayTime(this);
    PlaytimeTimer = PlayClock->PlaytimeTimer;
    connect(PlayClock, &PlayTime::quitRequested, this, &frmMenu::Unload);
    Launch->ResetTimer = [this] {
        if (PasswordOK(QString(), false))
            ResetTime();
    };

    mnuMenu = new QMenu(this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    mnuEditMode = makeAction(mnuMenu, "mnuEditMode", tr("Edit mode"));
    mnuEditMode->setCheckable(true);
    mnuEditMode->setVisible(false); // arrives with edit mode
    mnuRefresh = makeAction(mnuMenu, "mnuRefresh", tr("Refresh"));
    connect(mnuRefresh, &QAction::triggered, this, &frmMenu::RefreshPictures);
    addSeparator(mnuMenu, "spl01");
    mnuExit = makeAction(mnuMenu, "mnuExit", tr("Exit"));
    connect(mnuExit, &QAction::triggered, this, &frmMenu::mnuExit_Click);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeKey"));
    connect(escape, &QShortcut::activated, this, &frmMenu::onEscape);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    MainForm = this;
}

frmMenu::~frmMenu()
{
    delete Stats;
    if (MainForm == this)
        MainForm = nullptr;
}

bool frmMenu::EditMode() const
{
    return mnuEditMode->isChecked();
}

void frmMenu::Load()
{
    try {
        runLoadSteps();
    } catch (const VbError &error) {
        failStartup(error);
    }
}

void frmMenu::runLoadSteps()
{
    // 1.
    WriteLog(QStringLiteral("FrmMenu()::StartHook"));
    modKeyHandler::StartTypingHook([this](const QString &key) { KeyTyped(key); });
    WriteLog(QStringLiteral("FrmMenu()::StartHook OK."));
    // 2.
    if (!DebugMode) {
        WriteLog(QStringLiteral("FrmMenu()::LoadScreen-TopMost!"));
        if (m_loadScreen)
            platform::Services::windows().setTopMost(m_loadScreen, true);
    }
    // 4.
    WriteLog(QStringLiteral("FrmMenu()::Adjusting custom properties.."));
    normaliseSettings();
    // 5.
    runStartupProgram();
    // 6, 7.
    WriteLog(QStringLiteral("frmMenu()::If instructed, clear some settings..."));
    clearSettingsIfAsked();
    // 8. Statistics are counted when the database is there; without it the
    // menu works all the same.
    const QString statsFile = AppPath() + QStringLiteral("data/stats.db");
    WriteLog(QStringLiteral("frmMenu()::Make ADO Connection to (") + statsFile + QLatin1Char(')'));
    QString statsError;
    if (!Stats->Open(statsFile, &statsError))
        WriteLog(QStringLiteral("frmMenu()::Statistics not available: ") + statsError);
    WriteLog(QStringLiteral("frmMenu()::Add RecordSet Object."));
    // 11.
    WriteLog(QStringLiteral("frmMenu()::Load buttons..."));
    Buttons->setLoadScreen(m_loadScreen);
    LoadButtons(-1);
    WriteLog(QStringLiteral("frmMenu()::Button loaded."));
    // 12.
    WriteLog(QStringLiteral("frmMenu()::Play welcome sound:") + SS.WelcomeSound);
    modUtil::PlayFile(SS.WelcomeSound, false);
    // 13.
    WriteLog(QStringLiteral("frmMenu()::GetOrgRes"));
    GetOrgRes();
    WriteLog(QStringLiteral("frmMenu()::GetOrgRes done."));
    // 14.
    checkProcess->start();
    // 16. There is no window procedure to replace on X11; the form hears the
    // mount table itself.
    if (!DebugMode) {
        WriteLog(QStringLiteral("frmMenu()::SubClass, hWnd-Address of WndProc (") + QString::number(winId())
                 + QLatin1Char(')'));
        WriteLog(QStringLiteral("frmMenu()::SubClass OK"));
        WriteLog(QStringLiteral("frmMenu()::Set Shell Notify Hook"));
        mShellNotify::RegisterShellNotify([this](int event) { HandleShellNotify(0, event); });
        WriteLog(QStringLiteral("frmMenu()::Set Shell Notify Hook OK."));
    }
    // 17.
    WriteLog(QStringLiteral("frmMenu()::All loading and hooking done."));
    QCoreApplication::processEvents();
    // 18.
    if (!DebugMode) {
        WriteLog(QStringLiteral("frmMenu()::Initializing HideTaskBarTimerObject"));
        HideTaskbarTimer->start();
    }
    // 20 - 23. The play-time check may end start-up here.
    switch (PlayClock->StartupCheck()) {
    case PlayTime::StartupAction::StartShutdown:
        ShutdownTimer->start();
        return;
    case PlayTime::StartupAction::StartUnload:
        UnloadTimer->start();
        return;
    case PlayTime::StartupAction::Continue:
        break;
    }
    // 24.
    PlayClock->StartClock();
    // 25 - 27.
    showMainScreen();
}

void frmMenu::normaliseSettings()
{
    // A settings file that could not be read ends start-up here, with its reason.
    if (DataFileError)
        throw *DataFileError;
    if (SS.ShellCommandsMax < 5) {
        SS.ShellCommandsMax = 5;
        SS.ShellCommands.redim(5);
    }
    for (qint32 i = 0; i <= 5; ++i)
        if (!SS.ShellCommands.has(i))
            throw VbError(VbErr::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    for (VbList<BUTTON> *list : {&SS.Buttons, &SS.Presets}) {
        const qint32 max = list == &SS.Buttons ? SS.ButtonsMax : SS.PresetsMax;
        for (qint32 i = 0; i <= max; ++i) {
            if (!list->has(i))
                throw VbError(VbErr::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
            BUTTON &button = list->at(i);
            if (button.ExtraCount < 5) {
                button.ExtraCount = 5;
                button.ExtraStrings.redim(5);
            }
        }
    }
}

void frmMenu::runStartupProgram()
{
    const QString stored = SS.ShellCommands.at(0);
    if (stored.isEmpty())
        return;
    const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(stored));
    const QString arguments = modUtil::ExpandPathVars(SS.ShellCommands.at(1));
    auto &processes = platform::Services::processes();
    if (VbNumber::Val(SS.ShellCommands.at(2)) == 1.0) {
        if (!FileExists(path))
            return;
        WriteLog(QStringLiteral("frmMenu()::StartShell-Wait...[") + path + QLatin1Char(' ') + arguments
                 + QLatin1Char(']'));
        processes.runAndWait(path, arguments, QString());
    } else {
        WriteLog(QStringLiteral("frmMenu()::StartShellExecute [") + path + QLatin1Char(' ') + arguments
                 + QLatin1Char(']'));
        processes.shellOpen(path, arguments, modUtil::FolderOf(path));
    }
}

void frmMenu::clearSettingsIfAsked()
{
    if (!HasSwitch(CommandLine, QStringLiteral("-clear"))) {
        WriteLog(QStringLiteral("frmMenu()::Not instructed to clear some settings..."));
        return;
    }
    WriteLog(QStringLiteral("frmMenu()::Instructed to clear some settings..."));
    SS.BackgroundPicture.clear();
    SS.LastPictureFolder.clear();
    SS.LastFileFolder.clear();
    SS.ButtonsMax = -1;
    SS.PresetsMax = -1;
    SS.FontName = QStringLiteral("Tahoma");
    SS.FontSize = 8;
    SS.Buttons.redim(0);
    SS.Presets.redim(0);
    SS.SnapToGrid = 1;
    SS.GridSize = 30;
    SS.Reserved4.clear();
    SS.Reserved3.clear();
}

void frmMenu::showMainScreen()
{
    WriteLog(QStringLiteral("frmMenu()::Show main screen (shell)."));
    UpdateSettings();
    // Maximised rather than full-screen: a window manager keeps a focused
    // full-screen window above everything, also above the programs it starts.
    showMaximized();
    activateWindow();
    onResizeTimer();
    WriteLog(QStringLiteral("frmMenu()::Remove loadscreen."));
    TimerRemoveLoadScreen->start();
    WriteLog(QStringLiteral("frmMenu()::All done, system should be up and running!"));
}

void frmMenu::failStartup(const VbError &error)
{
    WriteLog(QStringLiteral("frmMenu()::") + error.Description + QStringLiteral(" Code ")
             + QString::number(error.Number));
    WriteLog(QStringLiteral("frmMenu()::Removing loadscreen."));
    delete m_loadScreen;
    WriteLog(QStringLiteral("frmMenu()::Show()"));
    show();
    QCoreApplication::processEvents();
    WriteLog(QStringLiteral("frmMenu()::Display error message."));
    platform::Services::dialogs().msgBox(
        QStringLiteral("Error reading datafile. The file may be corrupted!\r\n\r\n") + error.Description
            + QStringLiteral("\r\nCode ") + QString::number(error.Number),
        platform::Msg::Critical);
    WriteLog(QStringLiteral("frmMenu()::Terminate program!"));
    // Nobody may be left without a desktop or a keyboard.
    if (!DebugMode) {
        auto &desktop = platform::Services::desktop();
        desktop.showTaskbar(true);
        desktop.showDesktop(true);
        modKeyHandler::HookKeyHandler(false);
    }
    std::exit(1);
}

void frmMenu::onTimerRemoveLoadScreen()
{
    TimerRemoveLoadScreen->stop();
    delete m_loadScreen;
    if (!DebugMode) {
        auto &windows = platform::Services::windows();
        windows.setTopMost(this, true);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        windows.setTopMost(this, false);
    }
}

void frmMenu::onUnloadTimer()
{
    UnloadTimer->stop();
    if (LoadScreenVisible)
        delete m_loadScreen;
    Unload();
}

void frmMenu::onShutdownTimer()
{
    ShutdownTimer->stop();
    // A machine that may not be switched off must not leave the child at an
    // empty screen: the session ends instead.
    if (!ShutDown::PowerOffAfterTimeOut())
        Unload();
}

void frmMenu::onHideTaskbarTimer()
{
    if (!DebugMode)
        platform::Services::desktop().showTaskbar(false);
}

void frmMenu::onResizeTimer()
{
    ResizeTimer->stop();
    if (!EditMode()) {
        UpdateSettings();
        RefreshButtons();
    }
    if (ResizeTimer->interval() != 500)
        ResizeTimer->setInterval(500);
}

void frmMenu::UpdateSettings()
{
    m_background = QPixmap::fromImage(MenuBackground::Paint(SS, size(), EditMode()));
    update();
}

void frmMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Until ResizeTimer paints the new size, the rest shows the plain colour.
    const QRegion uncovered = QRegion(rect()) - QRegion(m_background.rect());
    for (const QRect &r : uncovered)
        painter.fillRect(r, OleColor::toQColor(quint32(SS.ScreenBackColor)));
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
}

void frmMenu::LoadButtons(int index, bool bringToFront)
{
    Buttons->LoadButtons(index, bringToFront);
}

void frmMenu::UpdateButton(int index)
{
    Buttons->UpdateButton(index);
}

void frmMenu::SetButtonPos(int index)
{
    Buttons->SetButtonPos(index);
}

void frmMenu::HandleShellNotify(int, int lParam)
{
    if (EditMode())
        return;
    if (lParam == mShellNotify::SHCNE_MEDIAINSERTED || lParam == mShellNotify::SHCNE_MEDIAREMOVED)
        RefreshPictures();
}

void frmMenu::RefreshPictures()
{
    Buttons->RefreshPictures();
}

void frmMenu::RefreshButtons()
{
    Buttons->RefreshButtons();
}

Command *frmMenu::Menu(int index) const
{
    return Buttons->Menu(index);
}

void frmMenu::ExecuteFile(int index, bool skipPassword, bool force)
{
    Launch->ExecuteFile(index, skipPassword, force);
}

bool frmMenu::MakeAppList()
{
    return Apps->MakeAppList(Watch->ButtonWatch, QCursor::pos());
}

void frmMenu::Menu_Click(int index)
{
    // Clicks in edit mode select and move buttons instead.
    if (EditMode() || !SS.Buttons.has(index) || index > SS.ButtonsMax || SS.Buttons.at(index).Link.isEmpty())
        return;
    Buttons->DelayAllButtons();
    ExecuteFile(index, false, false);
}

void frmMenu::Menu_DblClick(int)
{
    // While it runs, edit-mode dragging keeps still.
    DBLCLICKDELAY->stop();
    DBLCLICKDELAY->start(10);
}

void frmMenu::onEscape()
{
    ShutDown::StopSound();
    if (DebugMode)
        mnuExit_Click();
}

bool frmMenu::PasswordOK(const QString &text, bool noDialog)
{
    return frmPassword::PasswordOK(text, noDialog);
}

void frmMenu::ResetTime()
{
    PlayClock->ResetTime();
}

void frmMenu::PauseTimer(bool pause)
{
    PlayClock->PauseTimer(pause);
}

void frmMenu::KeyTyped(const QString &key)
{
    PlayClock->KeyTyped(key);
}

bool frmMenu::ClockPaused() const
{
    return PlayClock->ClockPaused();
}

void frmMenu::mnuExit_Click()
{
    if (!PasswordOK(QString(), false))
        return;
    if (EditMode()) {
        const int answer = platform::Services::dialogs().msgBox(
            QStringLiteral("Save changes before quitting?"),
            platform::Msg::Exclamation | platform::Msg::YesNoCancel);
        if (answer == platform::Msg::Cancel)
            return;
        if (answer == platform::Msg::Yes)
            Save(false);
    }
    Unload();
}

void frmMenu::Unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    // No tick may start beeper again while the exit sound plays.
    PlaytimeTimer->stop();
    // Each step runs whatever the one before it did.
    SettingsStore::SaveSetting(AppTitle, QStringLiteral("Beeper"), QStringLiteral("Quit"), QStringLiteral("1"));
    SettingsStore::SaveSetting(AppTitle, QStringLiteral("TimeLimit"), QStringLiteral("TimeLeft"),
                               QString::number(TimeLeftSeconds));
    Stats->Close();
    ShutDown::StopSound();
    modUtil::PlayFile(SS.ExitSound, true);
    if (!DebugMode) {
        auto &desktop = platform::Services::desktop();
        desktop.showTaskbar(true);
        desktop.showDesktop(true);
        modKeyHandler::HookKeyHandler(false);
    }
    HideTaskbarTimer->stop();
    mShellNotify::UnregisterShellNotify();
    Backup::RemoveMarker(AppPath());
    CleanBackup();
    runExitProgram();
    modKeyHandler::StopTypingHook();
    hide();
    m_unloaded = true;
    emit unloaded();
    QCoreApplication::quit();
}

void frmMenu::runExitProgram()
{
    if (!SS.ShellCommands.has(5) || SS.ShellCommands.at(3).isEmpty())
        return;
    const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(SS.ShellCommands.at(3)));
    const QString arguments = modUtil::ExpandPathVars(SS.ShellCommands.at(4));
    auto &processes = platform::Services::processes();
    if (VbNumber::Val(SS.ShellCommands.at(5)) == 1.0)
        processes.runAndWait(path, arguments, QString());
    else
        processes.shellOpen(path, arguments, modUtil::FolderOf(path));
}

void frmMenu::CleanBackup()
{
    Backup::CleanBackup(AppPath());
}

bool frmMenu::Save(bool asBackup)
{
    std::optional<VbError> error;
    if (asBackup) {
        error = Backup::WriteBackup(AppPath(), SS, modKeys::SpecialKeys);
    } else {
        modKeys::SaveSpecialKeys(AppPath() + QLatin1String("spc_keys.dat"));
        error = SettingsFile::SaveFile(AppPath() + QLatin1String("settings.dat"), SS);
    }
    if (!error)
        return true;
    const QString head = asBackup ? QStringLiteral("Error making backup!\r\n") : QString();
    platform::Services::dialogs().msgBox(head + error->Description + QStringLiteral("\r\nCode ")
                                             + QString::number(error->Number),
                                         platform::Msg::Critical);
    return false;
}

void frmMenu::GetOrgRes()
{
    m_orgRes = platform::Services::display().current();
}

void frmMenu::SetOrgRes()
{
    int frequency = m_orgRes.refreshRate;
    ShutDown::ChangeDisplayMode(m_orgRes.width, m_orgRes.height, m_orgRes.bitsPerPixel, frequency);
}

void frmMenu::closeEvent(QCloseEvent *event)
{
    // Only the orderly quit ends the shell, never a window-manager close request.
    if (m_unloaded)
        event->accept();
    else
        event->ignore();
}

void frmMenu::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        mnuMenu->popup(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void frmMenu::resizeEvent(QResizeEvent *event)
{
    ResizeTimer->start();
    QWidget::resizeEvent(event);
}
