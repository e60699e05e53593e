#include "frmMenu.h"

#include "FormPrompts.h"
#include "base/ParentPassword.h"
#include "base/ShutDown.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "captions/CaptionVariables.h"
#include "captions/LiveSystemSource.h"
#include "captions/StatusBar.h"
#include "data/Backup.h"
#include "data/SettingsFile.h"
#include "frmShowLoading.h"
#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"
#include "mShellNotify.h"
#include "menu/EditGestures.h"
#include "menu/EditMenus.h"
#include "menu/Launcher.h"
#include "menu/MenuBackground.h"
#include "menu/MenuButtons.h"
#include "menu/MenuEditor.h"
#include "modGlobalsMain.h"
#include "platform/Services.h"
#include "playtime/PlayTime.h"
#include "playtime/frmPause.h"
#include "playtime/frmCountdown.h"
#include "playtime/frmLastMinute.h"
#include "playtime/frmLock.h"
#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"
#include "programs/AppMenu.h"
#include "programs/ProcessWatch.h"
#include "remote/RemoteHost.h"
#include "remote/RemoteServer.h"
#include "stats/StatsStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
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

} // namespace

// What the remote console sees of the shell and may ask of it.
class frmMenu::RemoteLink : public RemoteHost
{
public:
    explicit RemoteLink(frmMenu &menu)
        : m_menu(menu)
    {
    }

    qint64 TimeLeftSeconds() const override { return modGlobals::TimeLeftSeconds; }
    bool ClockPaused() const override { return m_menu.ClockPaused(); }
    bool ResetTime(const QString &playTime) override { return m_menu.m_playClock->ResetTime(playTime); }
    void AddExtraTime(int minutes) override { m_menu.m_playClock->AddExtraTime(minutes); }
    bool Locked() const override { return m_menu.m_playClock->Locked(); }
    void SetLocked(bool locked) override { m_menu.m_playClock->Lock(locked); }
    bool ExpiredDialogOpen() const override { return frmTimeExpired::Current() != nullptr; }
    void ReleaseExpiredDialog() override
    {
        if (frmTimeExpired *dialog = frmTimeExpired::Current())
            dialog->ReleaseByParent();
    }
    bool PasswordDialogOpen() const override { return frmPassword::Current() != nullptr; }
    void ClosePasswordDialog() override
    {
        if (frmPassword *dialog = frmPassword::Current())
            dialog->Command2_Click();
    }
    PasswordKey ParentKey() const override { return ParentPassword::RemoteKey(); }
    QList<Button> LinkedButtons() const override
    {
        QList<Button> list;
        for (int i = 0; i <= m_menu.m_buttons->UBound(); ++i) {
            const Command *control = m_menu.Menu(i);
            if (control && SS.Buttons.has(i) && i <= SS.ButtonsMax && !SS.Buttons.at(i).Link.isEmpty())
                list.append({i, control->Caption()});
        }
        return list;
    }
    void ExecuteButton(int index) override { m_menu.ExecuteFile(index, true, true); }
    bool DebugMode() const override { return modGlobals::DebugMode; }
    void PowerOff() override { ShutDown::PowerOffPC(); }

private:
    frmMenu &m_menu;
};

frmMenu::frmMenu(frmShowLoading *loadScreen, Prompts *prompts)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_loadScreen(loadScreen)
    , m_stats(std::make_unique<StatsStore>())
    , m_ownPrompts(prompts ? nullptr : std::make_unique<FormPrompts>(this, *m_stats))
    , m_prompts(prompts ? prompts : m_ownPrompts.get())
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(AppTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // paintEvent covers the whole form with the background picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    m_resizeTimer = makeTimer(this, "ResizeTimer", 10, true);
    m_timerRemoveLoadScreen = makeTimer(this, "TimerRemoveLoadScreen", 50, true);
    m_unloadTimer = makeTimer(this, "UnloadTimer", 10, true);
    m_shutdownTimer = makeTimer(this, "ShutdownTimer", 250, true);
    m_dblClickDelay = makeTimer(this, "DBLCLICKDELAY", 10, true);
    m_captionParser = makeTimer(this, "CaptionParser", 10);
    m_clockTimer = makeTimer(this, "ClockTimer", 500);
    // Precise, so that once started together they stay in step (alignTicks).
    m_captionParser->setTimerType(Qt::PreciseTimer);
    m_clockTimer->setTimerType(Qt::PreciseTimer);
    connect(m_resizeTimer, &QTimer::timeout, this, &frmMenu::onResizeTimer);
    connect(m_timerRemoveLoadScreen, &QTimer::timeout, this, &frmMenu::onTimerRemoveLoadScreen);
    connect(m_unloadTimer, &QTimer::timeout, this, &frmMenu::onUnloadTimer);
    connect(m_shutdownTimer, &QTimer::timeout, this, &frmMenu::onShutdownTimer);

    // The button menu: the controls, supervision, activation and statistics.
    m_buttons = new MenuButtons(this, [this] { return EditMode(); });
    m_watch = new ProcessWatch(*m_buttons, m_stats.get(), *m_prompts, this);
    m_launch = new Launcher(*m_buttons, m_watch, m_stats.get(), *m_prompts, this);
    m_apps = new AppMenu(this);
    connect(m_buttons, &MenuButtons::rebuilt, m_watch, &ProcessWatch::Redim);
    connect(m_buttons, &MenuButtons::buttonLoaded, m_watch, &ProcessWatch::Extend);
    connect(m_buttons, &MenuButtons::Click, this, &frmMenu::Menu_Click);
    connect(m_buttons, &MenuButtons::DblClick, this, &frmMenu::Menu_DblClick);
    connect(m_buttons, &MenuButtons::loadProgress, this, [this](double fraction) {
        if (m_loadScreen)
            m_loadScreen->SetProgress(fraction);
    });
    connect(m_watch, &ProcessWatch::screenModeRestoreNeeded, this, &frmMenu::restoreScreenMode);
    connect(m_launch, &Launcher::screenModeRestoreNeeded, this, &frmMenu::restoreScreenMode);

    // Live captions and the information bar.
    m_system = std::make_unique<LiveSystemSource>();
    m_captions = std::make_unique<CaptionVariables>(*m_system);
    m_statusBar = new StatusBar(*m_system, this);
    m_statusBar->hide();
    connect(m_captionParser, &QTimer::timeout, this, &frmMenu::onCaptionParser);
    connect(m_clockTimer, &QTimer::timeout, this, &frmMenu::onClockTimer);
    connect(m_statusBar, &StatusBar::ProcClick, this, &frmMenu::MakeAppList);

    m_playClock = new PlayTime(*m_prompts, this);
    m_remoteLink = std::make_unique<RemoteLink>(*this);
    connect(m_playClock, &PlayTime::quitRequested, this, &frmMenu::Unload);
    connect(m_playClock, &PlayTime::ticking, this, &frmMenu::alignTicks);
    m_pauseScreen = std::make_unique<frmPause>();
    connect(m_playClock, &PlayTime::pausedChanged, this, &frmMenu::onPausedChanged);
    connect(m_pauseScreen.get(), &frmPause::resumeRequested, this, [this] { PauseTimer(false); });
    // A new period at the daily start, or extra time, lets the child on as the parent's release does.
    connect(m_playClock, &PlayTime::releaseExpiredDialog, this, [this] { m_remoteLink->ReleaseExpiredDialog(); });
    connect(m_launch, &Launcher::resetTimeRequested, this, &frmMenu::ResetTime);
    connect(m_playClock, &PlayTime::countdownNotice, this, &frmMenu::showCountdown);
    connect(m_playClock, &PlayTime::lastMinute, this, &frmMenu::showLastMinute);
    connect(m_playClock, &PlayTime::lockChanged, this, &frmMenu::showLock);
    if (m_ownPrompts)
        connect(m_playClock, &PlayTime::bedtime, this, [this](bool atBedtime) { m_ownPrompts->setBedtime(atBedtime); });

    // Edit mode: the context menus and their commands, and the gestures.
    m_editor = new MenuEditor(this, m_buttons, m_watch, *m_prompts);
    m_gestures = new EditGestures(this, m_buttons, m_editor, m_dblClickDelay);
    connect(m_editor->Menus()->item(QStringLiteral("mnuRefresh")), &QAction::triggered, this,
            &frmMenu::RefreshPictures);
    connect(m_editor->Menus()->item(QStringLiteral("mnuExit")), &QAction::triggered, this, &frmMenu::mnuExit_Click);
    connect(m_editor, &MenuEditor::editModeEntered, m_playClock, &PlayTime::EditModeEntered);
    connect(m_editor, &MenuEditor::editModeEntered, m_captionParser, &QTimer::stop);
    connect(m_editor, &MenuEditor::editModeLeaving, m_playClock, &PlayTime::EditModeLeaving);
    connect(m_editor, &MenuEditor::editModeLeft, this, [this] {
        m_captionParser->start();
        alignTicks();
    });
    connect(m_editor, &MenuEditor::saveRequested, this, &frmMenu::Save);
    connect(m_editor, &MenuEditor::reloadRequested, this, &frmMenu::reloadDataFiles);
    connect(m_editor, &MenuEditor::backgroundChanged, this, &frmMenu::UpdateSettings);
    connect(m_editor, &MenuEditor::settingsChanged, this, &frmMenu::AddNewSettings);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeKey"));
    connect(escape, &QShortcut::activated, this, &frmMenu::onEscape);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

frmMenu::~frmMenu()
{
    // The server asks the link, which goes before the form's children do.
    delete m_remote;
}

bool frmMenu::EditMode() const
{
    return m_editor && m_editor->EditMode();
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
    WriteLog(QStringLiteral("FrmMenu()::StartHook"));
    modKeyHandler::StartTypingHook([this](const QString &key) { KeyTyped(key); });
    WriteLog(QStringLiteral("FrmMenu()::StartHook OK."));
    if (!DebugMode) {
        WriteLog(QStringLiteral("FrmMenu()::LoadScreen-TopMost!"));
        if (m_loadScreen)
            platform::Services::windows().setTopMost(m_loadScreen, true);
    }
    WriteLog(QStringLiteral("FrmMenu()::Load Winsocks."));
    m_remote = new RemoteServer(*m_remoteLink, this);
    WriteLog(QStringLiteral("FrmMenu()::Adjusting custom properties.."));
    normaliseSettings();
    runParentProgram(0, true);
    if (m_unloading)
        return; // a quit signal came while the start-up program ran
    WriteLog(QStringLiteral("frmMenu()::If instructed, clear some settings..."));
    clearSettingsIfAsked();
    // Statistics are counted when the database is there; without it the
    // menu works all the same.
    const QString statsFile = AppPath() + QStringLiteral("data/stats.db");
    WriteLog(QStringLiteral("frmMenu()::Make ADO Connection to (") + statsFile + QLatin1Char(')'));
    QString statsError;
    if (!m_stats->Open(statsFile, &statsError))
        WriteLog(QStringLiteral("frmMenu()::Statistics not available: ") + statsError);
    WriteLog(QStringLiteral("frmMenu()::Add RecordSet Object."));
    // Linux is always of the NT family here.
    WriteLog(QStringLiteral("frmMenu()::Get WindowsVersion"));
    WriteLog(QStringLiteral("frmMenu()::Detected NT CPU MODE"));
    m_system->StartProcessorUsage();
    WriteLog(QStringLiteral("frmMenu()::Load buttons..."));
    LoadButtons(-1);
    WriteLog(QStringLiteral("frmMenu()::Button loaded."));
    WriteLog(QStringLiteral("frmMenu()::Play welcome sound:") + SS.WelcomeSound);
    modUtil::PlayFile(SS.WelcomeSound, false);
    WriteLog(QStringLiteral("frmMenu()::GetOrgRes"));
    GetOrgRes();
    WriteLog(QStringLiteral("frmMenu()::GetOrgRes done."));
    m_captionParser->start();
    WriteLog(QStringLiteral("frmMenu()::Update View"));
    UpdateView();
    WriteLog(QStringLiteral("frmMenu()::Update View done."));
    // There is no window procedure to replace on X11; the form hears the
    // mount table itself.
    if (!DebugMode) {
        WriteLog(QStringLiteral("frmMenu()::SubClass, hWnd-Address of WndProc (") + QString::number(winId())
                 + QLatin1Char(')'));
        WriteLog(QStringLiteral("frmMenu()::SubClass OK"));
        WriteLog(QStringLiteral("frmMenu()::Set Shell Notify Hook"));
        mShellNotify::RegisterShellNotify([this](int event) { HandleShellNotify(0, event); });
        WriteLog(QStringLiteral("frmMenu()::Set Shell Notify Hook OK."));
    }
    WriteLog(QStringLiteral("frmMenu()::All loading and hooking done."));
    QCoreApplication::processEvents();
    if (!DebugMode) {
        WriteLog(QStringLiteral("frmMenu()::Initializing HideTaskBarTimerObject"));
        platform::Services::desktop().keepTaskbarHidden(true);
    }
    WriteLog(QStringLiteral("frmMenu()::Winsock Listen"));
    if (!m_remote->Listen())
        WriteLog(QStringLiteral("frmMenu()::Winsock Listen failed: ") + m_remote->ErrorString());
    // The play-time check may end start-up here.
    const PlayTime::StartupAction action = m_playClock->StartupCheck();
    if (m_unloading)
        return;
    switch (action) {
    case PlayTime::StartupAction::StartShutdown:
        m_shutdownTimer->start();
        return;
    case PlayTime::StartupAction::StartUnload:
        m_unloadTimer->start();
        return;
    case PlayTime::StartupAction::Continue:
        break;
    }
    m_playClock->StartClock();
    showMainScreen();
}

void frmMenu::normaliseSettings()
{
    // A settings file that could not be read ends start-up here, with its reason.
    if (DataFileError)
        throw *DataFileError;
    SS.ResetShortShellCommands();
    for (qint32 i = 0; i <= SettingsRecord::MinShellCommandsMax; ++i)
        if (!SS.ShellCommands.has(i))
            throw VbError(VbErr::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    for (VbList<BUTTON> *list : {&SS.Buttons, &SS.Presets}) {
        const qint32 max = list == &SS.Buttons ? SS.ButtonsMax : SS.PresetsMax;
        for (qint32 i = 0; i <= max; ++i) {
            if (!list->has(i))
                throw VbError(VbErr::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
            list->at(i).ResetShortExtraStrings();
        }
    }
}

void frmMenu::runParentProgram(int which, bool atStartup)
{
    const ParentProgram program = SS.Program(which);
    if (program.path.isEmpty())
        return;
    const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(program.path));
    const QString arguments = modUtil::ExpandPathVars(program.arguments);
    const QString shown = QLatin1Char('[') + path + QLatin1Char(' ') + arguments + QLatin1Char(']');
    auto &processes = platform::Services::processes();
    if (program.wait) {
        // Only start-up looks first; at quit a failed start simply does nothing.
        if (atStartup && !FileExists(path))
            return;
        if (atStartup)
            WriteLog(QStringLiteral("frmMenu()::StartShell-Wait...") + shown);
        processes.runAndWait(path, arguments, QString());
    } else {
        if (atStartup)
            WriteLog(QStringLiteral("frmMenu()::StartShellExecute ") + shown);
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
    // Maximised rather than full-screen: a window manager keeps a focused
    // full-screen window above everything, also above the programs it starts.
    showMaximized();
    activateWindow();
    onResizeTimer(); // paints the background and places the buttons once
    WriteLog(QStringLiteral("frmMenu()::Remove loadscreen."));
    m_timerRemoveLoadScreen->start();
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
    platform::Services::dialogs().msgBox(SettingsFile::ReadErrorMessage(error), platform::Msg::Critical);
    WriteLog(QStringLiteral("frmMenu()::Terminate program!"));
    // Nobody may be left without a desktop or a keyboard.
    if (!DebugMode)
        modKeyHandler::GiveBackShell(false);
    std::exit(1);
}

void frmMenu::onTimerRemoveLoadScreen()
{
    m_timerRemoveLoadScreen->stop();
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
    m_unloadTimer->stop();
    if (LoadScreenVisible)
        delete m_loadScreen;
    Unload();
}

void frmMenu::onShutdownTimer()
{
    m_shutdownTimer->stop();
    // A machine that may not be switched off must not leave the child at an
    // empty screen: the session ends instead.
    if (!ShutDown::PowerOffAfterTimeOut())
        Unload();
}

void frmMenu::onResizeTimer()
{
    m_resizeTimer->stop();
    if (!EditMode()) {
        UpdateSettings();
        m_buttons->RefreshButtons();
    }
    if (m_resizeTimer->interval() != 500)
        m_resizeTimer->setInterval(500);
}

void frmMenu::UpdateSettings()
{
    // A scaled picture is worth keeping; a colour or a gradient is painted
    // where it shows, which spares a screen-sized copy for the whole session.
    m_background = QPixmap();
    if (SS.BackgroundStyle == MenuBackground::Picture) {
        const QImage painted = MenuBackground::Paint(SS, size(), EditMode());
        // A picture file that is not there has turned the style into the colour.
        if (SS.BackgroundStyle == MenuBackground::Picture)
            m_background = QPixmap::fromImage(painted);
    }
    update();
}

void frmMenu::reloadDataFiles()
{
    const SettingsRecord edited = SS;
    modGlobals::LoadDataFiles();
    try {
        normaliseSettings();
    } catch (const VbError &error) {
        // Files that cannot be read back must not cost the parent the menu:
        // it stays as edited and is saved when edit mode is next left.
        SS = edited;
        DataFileError.reset();
        platform::Services::dialogs().msgBox(SettingsFile::ReadErrorMessage(error), platform::Msg::Critical);
    }
    LoadButtons(-1);
    UpdateView();
    UpdateSettings();
}

void frmMenu::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_background.isNull()) {
        // In bands of a few rows: a screen-sized image, even a passing one,
        // would stay in the heap for the rest of the session.
        constexpr int Band = 16;
        for (const QRect &r : event->region()) {
            for (int y = r.top(); y <= r.bottom(); y += Band) {
                const QRect band(r.left(), y, r.width(), std::min(Band, r.bottom() + 1 - y));
                painter.drawImage(band.topLeft(), MenuBackground::Paint(SS, size(), EditMode(), band));
            }
        }
        return;
    }
    // Until ResizeTimer paints the new size, the rest shows the plain colour.
    const QRegion uncovered = QRegion(rect()) - QRegion(m_background.rect());
    for (const QRect &r : uncovered)
        painter.fillRect(r, OleColor::toQColor(quint32(SS.ScreenBackColor)));
    painter.drawPixmap(0, 0, m_background);
}

void frmMenu::LoadButtons(int index, bool bringToFront)
{
    m_buttons->LoadButtons(index, bringToFront);
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
    m_buttons->RefreshPictures();
}

Command *frmMenu::Menu(int index) const
{
    return m_buttons->Menu(index);
}

void frmMenu::ExecuteFile(int index, bool skipPassword, bool force)
{
    m_launch->ExecuteFile(index, skipPassword, force);
}

bool frmMenu::MakeAppList()
{
    return m_apps->MakeAppList(m_watch->ButtonWatch, QCursor::pos());
}

void frmMenu::Menu_Click(int index)
{
    // Clicks in edit mode select and move buttons instead.
    if (EditMode() || !SS.Buttons.has(index) || index > SS.ButtonsMax || SS.Buttons.at(index).Link.isEmpty())
        return;
    m_buttons->DelayAllButtons();
    ExecuteFile(index, false, false);
}

void frmMenu::Menu_DblClick(int index)
{
    // While it runs, edit-mode dragging keeps still.
    m_dblClickDelay->stop();
    m_dblClickDelay->start(10);
    if (EditMode() && !m_editor->IsLocked(index))
        m_editor->ShowProperties(index);
}

void frmMenu::onCaptionParser()
{
    // Edit mode shows the stored captions.
    if (!EditMode())
        m_captions->ParseCaptions(*m_buttons, ClockPaused());
    if (m_captionParser->interval() != 1000) {
        m_captionParser->stop();
        m_captionParser->setInterval(1000);
        m_captionParser->start();
        alignTicks();
    }
}

void frmMenu::UpdateView()
{
    m_statusBar->ApplySettings(SS);
    m_statusBar->PlaceIn(rect());
    m_clockTimer->setInterval(500);
    if (SS.ShowSystemInfoBar != 0) {
        m_clockTimer->start();
        alignTicks();
        onClockTimer();
    } else {
        m_clockTimer->stop();
    }
}

void frmMenu::AddNewSettings()
{
    UpdateView();
    UpdateSettings();
}

void frmMenu::alignTicks()
{
    // Started back to back, precise timers of 500 ms and 1 s fire in the same
    // wake-up from then on: an idle menu wakes twice a second, not once for
    // each of them.
    for (QTimer *timer : {m_playClock->PlaytimeTimer, m_clockTimer, m_captionParser})
        if (timer->isActive())
            timer->start();
}

void frmMenu::onClockTimer()
{
    m_statusBar->ClockTimer_Timer(m_captions->ProcessorLoad());
}

void frmMenu::onEscape()
{
    ShutDown::StopSound();
    if (DebugMode)
        mnuExit_Click();
}

bool frmMenu::PasswordOK(const QString &text, bool noDialog)
{
    return ::PasswordOK(*m_prompts, text, noDialog);
}

void frmMenu::ResetTime()
{
    m_playClock->ResetTime();
}

void frmMenu::showCountdown(qint64 seconds)
{
    if (!m_countdown)
        m_countdown = std::make_unique<frmCountdown>();
    m_countdown->ShowNotice(seconds);
}

void frmMenu::showLastMinute(qint64 seconds)
{
    if (seconds < 0 && !m_lastMinute)
        return;
    if (!m_lastMinute)
        m_lastMinute = std::make_unique<frmLastMinute>();
    m_lastMinute->ShowSeconds(seconds);
}

void frmMenu::showLock(bool locked)
{
    if (!locked) {
        // Ended from its own password box: gone once that click is over.
        if (m_lock) {
            m_lock->hide();
            m_lock.release()->deleteLater();
        }
        return;
    }
    if (m_lock)
        return;
    m_lock = std::make_unique<frmLock>();
    connect(m_lock.get(), &frmLock::passwordEntered, this, [this](const QString &password) {
        // A right password ends the lock, and lockChanged(false) removes the form.
        if (!m_playClock->UnlockWithPassword(password) && m_lock)
            m_lock->WrongPassword();
    });
    m_lock->Cover();
}

void frmMenu::PauseTimer(bool pause)
{
    m_playClock->PauseTimer(pause);
}

void frmMenu::KeyTyped(const QString &key)
{
    m_playClock->KeyTyped(key);
}

bool frmMenu::ClockPaused() const
{
    return m_playClock->ClockPaused();
}

void frmMenu::onPausedChanged(bool paused)
{
    if (!paused) {
        m_pauseScreen->Uncover();
        return;
    }
    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : size();
    const QImage background = MenuBackground::Paint(modGlobals::SS, screen, false);
    if (PlayTime::LimitSeconds() >= 1)
        m_pauseScreen->Cover(TimeLeftSeconds, background);
    else
        m_pauseScreen->Cover(std::nullopt, background);
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
        // A save that failed was shown; the edits stay for another try.
        if (answer == platform::Msg::Yes && !Save(false))
            return;
    }
    Unload();
}

void frmMenu::Unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    // Nothing may start any more while the shell ends, and no tick may start
    // beeper again while the exit sound plays, nor write a backup that the
    // clean-up below would miss.
    setEnabled(false);
    // A quit signal may come while a dialog is up: it must not hold the quit.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
    m_playClock->StopClock();
    m_pauseScreen->Uncover();
    m_editor->BackupTimer->stop();
    m_watch->checkProcess->stop();
    // Each step runs whatever the one before it did.
    QString why;
    if (!SettingsStore::Change(AppTitle)
             .set(QStringLiteral("Beeper"), QStringLiteral("Quit"), QStringLiteral("1"))
             .set(QStringLiteral("TimeLimit"), QStringLiteral("TimeLeft"), QString::number(TimeLeftSeconds))
             .save(&why))
        WriteLog(QStringLiteral("Unload()::Time left not stored: ") + why);
    // Programs still running have played until now.
    m_watch->EndWatching();
    m_stats->Close();
    ShutDown::StopSound();
    modUtil::PlayFile(SS.ExitSound, true);
    if (!DebugMode)
        modKeyHandler::GiveBackShell(false);
    mShellNotify::UnregisterShellNotify();
    if (!Backup::RemoveMarker(AppPath()))
        WriteLog(QStringLiteral("Unload()::Cannot delete ") + Backup::MarkerPath(AppPath()));
    if (!Backup::CleanBackup(AppPath()))
        WriteLog(QStringLiteral("Unload()::Cannot delete every backup in ") + AppPath() + QStringLiteral("backup"));
    // The exit program may be waited for: without a window of ours meanwhile.
    hide();
    runParentProgram(1, false);
    modKeyHandler::StopTypingHook();
    m_unloaded = true;
    emit unloaded();
    QCoreApplication::quit();
}

bool frmMenu::Save(bool asBackup)
{
    std::optional<VbError> error;
    if (asBackup) {
        error = Backup::WriteBackup(AppPath(), SS, modKeys::SpecialKeys);
    } else {
        // The keys first; when they fail, nothing more is written.
        QString why;
        if (modKeys::SaveSpecialKeys(AppPath() + QLatin1String("spc_keys.dat"), &why))
            error = SettingsFile::SaveFile(AppPath() + QLatin1String("settings.dat"), SS);
        else
            error = VbError(VbErr::PathFileAccessError, why);
    }
    if (!error)
        return true;
    WriteLog(QStringLiteral("Save()::") + error->Description + QStringLiteral(" Code ") + QString::number(error->Number));
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

void frmMenu::restoreScreenMode()
{
    if (platform::Services::display().current() != m_orgRes)
        SetOrgRes();
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

void frmMenu::resizeEvent(QResizeEvent *event)
{
    m_resizeTimer->start();
    m_statusBar->PlaceIn(rect());
    QWidget::resizeEvent(event);
}
