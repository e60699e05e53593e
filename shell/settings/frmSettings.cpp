#include "settings/frmSettings.h"

#include "widgets/FormParts.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "keys/frmAddSpecialKey.h"
#include "keys/modKeyHandler.h"
#include "menu/MenuBackground.h"
#include "platform/Services.h"
#include "settings/Autostart.h"
#include "settings/ColorBox.h"
#include "settings/ScheduleTab.h"

#include <Command.h>
#include <OleColor.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using modGlobals::SS;
namespace Msg = platform::Msg;

namespace {

QCheckBox *check(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QComboBox *combo(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    box->setMaxVisibleItems(15);
    return box;
}

QLineEdit *field(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QLabel *help(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: palette(dark);"));
    return label;
}

QGroupBox *frame(QWidget *parent, const QString &title, QLayout *layout)
{
    auto *box = new QGroupBox(title, parent);
    box->setLayout(layout);
    return box;
}

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QString lowerSuffix(const QString &path)
{
    const QString name = QFileInfo(modUtil::LocalPath(path)).fileName();
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

} // namespace

frmSettings::frmSettings(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildScreenTab(), QStringLiteral("Screen Layout"));
    SSTab1->addTab(buildSoundTab(), QStringLiteral("Sound Options"));
    SSTab1->addTab(buildAdvancedTab(), QStringLiteral("Advanced"));
    SSTab1->addTab(buildStartupTab(), QStringLiteral("Startup / Exit"));
    SSTab1->addTab(buildSpecialTab(), QStringLiteral("Special Options"));
    m_schedule = new ScheduleTab;
    SSTab1->addTab(m_schedule, QStringLiteral("Schedule"));

    Command3[0] = FormParts::Button(this, "Command3_0", QStringLiteral("Cancel"), QSize(90, 28));
    Command3[0]->setButtonType(Command::BType::CancelButton);
    Command3[1] = FormParts::Button(this, "Command3_1", QStringLiteral("OK"), QSize(90, 28));
    Command3[1]->setButtonType(Command::BType::OkButton);
    Command6 = FormParts::Button(this, "Command6", QStringLiteral("Apply"), QSize(90, 28));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3[1]);
    buttons->addWidget(Command3[0]);
    buttons->addWidget(Command6);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    connect(Command3[0], &Command::Click, this, [this] { Command3_Click(0); });
    connect(Command3[1], &Command::Click, this, [this] { Command3_Click(1); });
    connect(Command6, &Command::Click, this, &frmSettings::Command6_Click);

    // The form shows first; the controls are filled a moment later.
    LoadViewTimer = new QTimer(this);
    LoadViewTimer->setObjectName(QStringLiteral("LoadViewTimer"));
    LoadViewTimer->setInterval(1);
    LoadViewTimer->setSingleShot(true);
    connect(LoadViewTimer, &QTimer::timeout, this, &frmSettings::LoadView);
    LoadViewTimer->start();
}

frmSettings::~frmSettings()
{
    platform::Services::sound().stop();
}

QWidget *frmSettings::buildScreenTab()
{
    auto *tab = new QWidget;
    chkStatus = check(tab, QStringLiteral("chkStatus"), QStringLiteral("Statusbar"));
    chkClock = check(tab, QStringLiteral("chkClock"), QStringLiteral("System info bar"));
    chkApp = check(tab, QStringLiteral("chkApp"), QStringLiteral("Active applications"));
    auto *show = new QGridLayout;
    show->addWidget(chkStatus, 0, 0, 1, 2);
    show->addWidget(chkClock, 1, 1);
    show->addWidget(chkApp, 2, 1);
    show->setColumnMinimumWidth(0, 16);
    connect(chkStatus, &QCheckBox::toggled, this, &frmSettings::applyEnabledRules);

    const QString captions[] = {QStringLiteral("Screen Back"),    QStringLiteral("Screen Text"),
                                QStringLiteral("Gradient 2"),     QStringLiteral("Gradient 1"),
                                QStringLiteral("Statusbar Text"), QStringLiteral("Statusbar Back")};
    auto *colours = new QGridLayout;
    for (int i = 0; i < SettingsValues::ColourCount; ++i) {
        Picture1[i] = new ColorBox(tab);
        Picture1[i]->setObjectName(indexed("Picture1", i));
        colours->addWidget(new QLabel(captions[i], tab), (i / 2) * 2, i % 2);
        colours->addWidget(Picture1[i], (i / 2) * 2 + 1, i % 2);
        connect(Picture1[i], &ColorBox::clicked, this, [this, i] { Picture1_Click(i); });
        connect(Picture1[i], &ColorBox::colorDropped, this, [this] {
            PrintExample();
            UpdatePicture();
        });
    }

    Label7 = new QLabel(QStringLiteral("THE BROWN FOX IS FAST..."), tab);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setFixedHeight(40);
    Label7->setFrameShape(QFrame::StyledPanel);
    Command1 = FormParts::Button(tab, "Command1", QStringLiteral("Change..."), QSize(90, 26));
    auto *font = new QGridLayout;
    font->addWidget(Label7, 0, 0, 1, 2);
    for (int i = 0; i < 4; ++i) {
        Label1[i] = new QLabel(tab);
        Label1[i]->setObjectName(indexed("Label1", i));
        font->addWidget(Label1[i], 1 + i / 2, i % 2);
    }
    font->addWidget(Command1, 3, 1, Qt::AlignRight);
    connect(Command1, &Command::Click, this, &frmSettings::Command1_Click);

    const QString styles[] = {QStringLiteral("Static color"), QStringLiteral("Gradient"), QStringLiteral("Picture")};
    auto *background = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(styles[i], tab);
        Option1[i]->setObjectName(indexed("Option1", i));
        background->addWidget(Option1[i], i, 0);
        connect(Option1[i], &QRadioButton::toggled, this, &frmSettings::UpdatePicture);
    }
    VScroll1 = new QScrollBar(Qt::Vertical, tab);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setRange(0, 360);
    VScroll1->setFixedHeight(60);
    lblAngle = new QLabel(tab);
    lblAngle->setObjectName(QStringLiteral("lblAngle"));
    background->addWidget(VScroll1, 0, 1, 3, 1);
    background->addWidget(lblAngle, 1, 2);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        lblAngle->setText(QString::number(value) + QStringLiteral(" degree"));
        UpdatePicture();
    });
    Check1 = check(tab, QStringLiteral("Check1"), QStringLiteral("Stretch"));
    Check2 = check(tab, QStringLiteral("Check2"), QStringLiteral("Keep aspect"));
    Check3 = check(tab, QStringLiteral("Check3"), QStringLiteral("Gradient behind picture"));
    background->addWidget(Check1, 3, 0);
    background->addWidget(Check2, 3, 1, 1, 2);
    background->addWidget(Check3, 4, 0, 1, 3);
    for (QCheckBox *box : {Check1, Check2, Check3})
        connect(box, &QCheckBox::toggled, this, &frmSettings::UpdatePicture);
    Label6 = new QLabel(tab);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setFixedWidth(230);
    Label6->setFrameShape(QFrame::StyledPanel);
    Label6->installEventFilter(this);
    Command4 = FormParts::Button(tab, "Command4", QStringLiteral("Change..."), QSize(80, 26));
    Command5 = FormParts::Button(tab, "Command5", QStringLiteral("Clear"), QSize(80, 26));
    background->addWidget(Label6, 5, 0, 1, 3);
    auto *pictureButtons = new QHBoxLayout;
    pictureButtons->addStretch();
    pictureButtons->addWidget(Command4);
    pictureButtons->addWidget(Command5);
    background->addLayout(pictureButtons, 6, 0, 1, 3);
    connect(Command4, &Command::Click, this, &frmSettings::Command4_Click);
    connect(Command5, &Command::Click, this, &frmSettings::Command5_Click);

    cmbSnap = combo(tab, "cmbSnap", SettingsValues::SnapItems());
    connect(cmbSnap, &QComboBox::currentIndexChanged, this, &frmSettings::UpdatePicture);
    auto *snap = new QHBoxLayout;
    snap->addWidget(cmbSnap);
    snap->addStretch();

    Picture2 = new QLabel(tab);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedSize(240, 180);
    Picture2->setFrameShape(QFrame::Box);
    auto *preview = new QVBoxLayout;
    preview->addWidget(Picture2);

    auto *left = new QVBoxLayout;
    left->addWidget(frame(tab, QStringLiteral("Show"), show));
    left->addWidget(frame(tab, QStringLiteral("Colors"), colours));
    left->addWidget(frame(tab, QStringLiteral("Font"), font));
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(frame(tab, QStringLiteral("Background"), background));
    right->addWidget(frame(tab, QStringLiteral("Snap size"), snap));
    right->addStretch();
    auto *far = new QVBoxLayout;
    far->addWidget(frame(tab, QStringLiteral("Preview"), preview));
    far->addStretch();
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(left);
    layout->addLayout(right);
    layout->addLayout(far);
    return tab;
}

QWidget *frmSettings::buildSoundTab()
{
    auto *tab = new QWidget;
    const QString captions[] = {QStringLiteral("Close Active Application first:"),
                                QStringLiteral("Do you want to close active Application:"),
                                QStringLiteral("Welcome:"), QStringLiteral("Goodbye:")};
    auto *grid = new QGridLayout;
    for (int i = 0; i < SettingsValues::SoundCount; ++i) {
        txtSound[i] = field(tab, indexed("txtSound", i));
        cmdSFile[i] = FormParts::Button(tab, indexed("cmdSFile", i).toLatin1().constData(), QStringLiteral("..."),
                                        QSize(32, 24));
        cmdPlay[i] = FormParts::Button(tab, indexed("cmdPlay", i).toLatin1().constData(), QStringLiteral("Play"),
                                       QSize(60, 24));
        grid->addWidget(new QLabel(captions[i], tab), 2 * i, 0, 1, 3);
        grid->addWidget(txtSound[i], 2 * i + 1, 0);
        grid->addWidget(cmdSFile[i], 2 * i + 1, 1);
        grid->addWidget(cmdPlay[i], 2 * i + 1, 2);
        connect(cmdSFile[i], &Command::Click, this, [this, i] { cmdSFile_Click(i); });
        connect(cmdPlay[i], &Command::Click, this, [this, i] { cmdPlay_Click(i); });
    }
    chkDisSound = check(tab, QStringLiteral("chkDisSound"), QStringLiteral("Disable all sounds"));
    chkBeep = check(tab, QStringLiteral("chkBeep"), QStringLiteral("Beep if sound don't exist"));
    cmdStop = FormParts::Button(tab, "cmdStop", QStringLiteral("STOP"), QSize(60, 24));
    connect(cmdStop, &Command::Click, this, [] { platform::Services::sound().stop(); });
    auto *options = new QHBoxLayout;
    options->addWidget(chkDisSound);
    options->addWidget(chkBeep);
    options->addStretch();
    options->addWidget(cmdStop);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(frame(tab, QStringLiteral("Sounds"), grid));
    layout->addLayout(options);
    layout->addStretch();
    return tab;
}

QWidget *frmSettings::buildAdvancedTab()
{
    auto *tab = new QWidget;
    chkOneProcess = check(tab, QStringLiteral("chkOneProcess"), QStringLiteral("Allow only one process at a time"));
    chkAutoClose = check(tab, QStringLiteral("chkAutoClose"),
                         QStringLiteral("Ask to close running process, when opening a new."));
    connect(chkOneProcess, &QCheckBox::toggled, this, &frmSettings::applyEnabledRules);
    Combo2 = combo(tab, "Combo2", SettingsValues::FreezeItems());
    Combo1 = combo(tab, "Combo1", SettingsValues::TimeoutItems());
    auto *process = new QGridLayout;
    process->addWidget(chkOneProcess, 0, 0, 1, 3);
    process->addWidget(chkAutoClose, 1, 0, 1, 3);
    process->addWidget(new QLabel(QStringLiteral("Freeze buttons"), tab), 2, 0);
    process->addWidget(Combo2, 2, 1);
    process->addWidget(new QLabel(QStringLiteral("after execution"), tab), 2, 2);
    process->addWidget(help(tab, QStringLiteral("Buttons stay frozen for this time after a click, so that an "
                                                "impatient double-click starts nothing twice.")),
                       3, 0, 1, 3);
    process->addWidget(new QLabel(QStringLiteral("Process Response Timeout:"), tab), 4, 0);
    process->addWidget(Combo1, 4, 1);
    process->addWidget(help(tab, QStringLiteral("A program whose window does not answer within this time is "
                                                "reported as not responding, and you may end it.")),
                       5, 0, 1, 3);
    process->setColumnStretch(2, 1);

    Command2 = FormParts::Button(tab, "Command2", QStringLiteral("Add/Remove keys..."), QSize(150, 28));
    connect(Command2, &Command::Click, this, &frmSettings::Command2_Click);
    auto *keys = new QHBoxLayout;
    keys->addWidget(help(tab, QStringLiteral("Special keys (for example the extra keys of multimedia keyboards) "
                                             "do nothing while Brindle runs.")),
                    1);
    keys->addWidget(Command2);

    Text1 = field(tab, QStringLiteral("Text1"));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
    auto *password = new QVBoxLayout;
    password->addWidget(Text1);
    // An empty field leaves the install's password in force, when there is one.
    password->addWidget(help(tab, modGlobals::Install.password.isNull()
                                      ? QStringLiteral("Leave it empty for no password.")
                                      : QStringLiteral("Leave it empty to keep the password given at install.")));
    chkStart = check(tab, QStringLiteral("chkStart"), QStringLiteral("Start Brindle when the computer starts"));

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(frame(tab, QStringLiteral("Processes"), process));
    layout->addWidget(frame(tab, QStringLiteral("Special keys"), keys));
    layout->addWidget(frame(tab, QStringLiteral("Password"), password));
    layout->addWidget(chkStart);
    layout->addStretch();
    return tab;
}

QWidget *frmSettings::buildStartupTab()
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    const QString titles[] = {QStringLiteral("Startup"), QStringLiteral("Exit")};
    for (int k = 0; k < 2; ++k) {
        txtExe[k] = field(tab, indexed("txtExe", k));
        txtPam[k] = field(tab, indexed("txtPam", k));
        chkWaitPrc[k] = check(tab, indexed("chkWaitPrc", k), QStringLiteral("Wait for process to finish"));
        cmdExe[k] = FormParts::Button(tab, indexed("cmdExe", k).toLatin1().constData(), QStringLiteral("..."),
                                      QSize(32, 24));
        connect(cmdExe[k], &Command::Click, this, [this, k] { cmdExe_Click(k); });
        auto *grid = new QGridLayout;
        grid->addWidget(new QLabel(QStringLiteral("File:"), tab), 0, 0);
        grid->addWidget(txtExe[k], 0, 1);
        grid->addWidget(cmdExe[k], 0, 2);
        grid->addWidget(new QLabel(QStringLiteral("Parameters:"), tab), 1, 0);
        grid->addWidget(txtPam[k], 1, 1);
        grid->addWidget(chkWaitPrc[k], 2, 1);
        layout->addWidget(frame(tab, titles[k], grid));
    }
    layout->addWidget(help(tab, QStringLiteral("Note! When you call non-executeable files, you cannot use the "
                                               "\"wait for process to finish\" feature. If you do, the execution "
                                               "will not take place, and is simply ignored.")));
    layout->addStretch();
    return tab;
}

QWidget *frmSettings::buildSpecialTab()
{
    auto *tab = new QWidget;
    Combo3 = combo(tab, "Combo3", SettingsValues::PlayTimeItems());
    auto *playtime = new QHBoxLayout;
    playtime->addWidget(Combo3);
    playtime->addStretch();

    Check4 = check(tab, QStringLiteral("Check4"), QStringLiteral("Beep for"));
    Combo4 = combo(tab, "Combo4", SettingsValues::WarnItems());
    auto *warning = new QHBoxLayout;
    warning->addWidget(Check4);
    warning->addWidget(Combo4);
    warning->addWidget(new QLabel(QStringLiteral("Seconds, before shutting down."), tab));
    warning->addStretch();

    Option2[0] = new QRadioButton(QStringLiteral("Shutdown PC"), tab);
    Option2[0]->setObjectName(QStringLiteral("Option2_0"));
    Option2[1] = new QRadioButton(QStringLiteral("Exit Brindle"), tab);
    Option2[1]->setObjectName(QStringLiteral("Option2_1"));
    auto *action = new QHBoxLayout;
    action->addWidget(Option2[0]);
    action->addWidget(Option2[1]);
    action->addStretch();

    chkPopups = check(tab, QStringLiteral("chkPopups"), QStringLiteral("Allow popup windows in Wicket"));
    chkStayOnSites = check(tab, QStringLiteral("chkStayOnSites"), QStringLiteral("Stay on the approved sites"));
    auto *wicket = new QGridLayout;
    wicket->addWidget(chkPopups, 0, 0);
    wicket->addWidget(chkStayOnSites, 0, 1);
    wicket->addWidget(help(tab, QStringLiteral("With \"Stay on the approved sites\" Wicket opens no page "
                                               "outside the sites of the approved links.")),
                      1, 0, 1, 3);
    wicket->setColumnStretch(2, 1);

    m_countdown = check(tab, QStringLiteral("chkCountdown"),
                        QStringLiteral("Show the time left on screen before the time is up"));

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(frame(tab, QStringLiteral("Max Playtime"), playtime));
    auto *warningBox = new QVBoxLayout;
    warningBox->addLayout(warning);
    warningBox->addWidget(m_countdown);
    layout->addWidget(frame(tab, QStringLiteral("Warning"), warningBox));
    layout->addWidget(frame(tab, QStringLiteral("When the time is up"), action));
    layout->addWidget(frame(tab, QStringLiteral("Wicket"), wicket));
    layout->addWidget(help(
        tab, QStringLiteral("To let the child start a new play period with your password, make a menu button with "
                            "the link [resettimer] (enter it without the square brackets). You can also reset the "
                            "time from anywhere by typing rt followed by the password.")));
    layout->addStretch();
    return tab;
}

void frmSettings::LoadView()
{
    LoadViewTimer->stop();
    fill(SettingsValues::Read());
    SetChkStart();
    m_loaded = true;
    applyEnabledRules();
    UpdatePicture();
    QCoreApplication::processEvents();
    // The caller showed the hourglass while the dialog was being made.
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void frmSettings::fill(const SettingsValues &v)
{
    chkStatus->setChecked(v.showStatusBar);
    chkClock->setChecked(v.showSystemInfoBar);
    chkApp->setChecked(v.showActiveApps);
    for (int i = 0; i < SettingsValues::ColourCount; ++i)
        Picture1[i]->setColor(quint32(v.colours[i]));
    QFont sample = Label7->font();
    if (!v.fontName.isEmpty())
        sample.setFamily(v.fontName);
    if (v.fontSize > 0)
        sample.setPointSizeF(v.fontSize);
    sample.setBold(v.fontBold);
    sample.setItalic(v.fontItalic);
    Label7->setFont(sample);
    writeFontLabels();
    Option1[v.backgroundStyle]->setChecked(true);
    VScroll1->setValue(v.gradientAngle);
    lblAngle->setText(QString::number(VScroll1->value()) + QStringLiteral(" degree"));
    cmbSnap->setCurrentIndex(v.gridSize - SettingsValues::SmallestSnap);
    Check1->setChecked(v.pictureStretch);
    Check2->setChecked(v.pictureKeepAspect);
    Check3->setChecked(v.gradientBehindPicture);
    m_picturePath = v.backgroundPicture;
    showPicturePath();
    for (int i = 0; i < SettingsValues::SoundCount; ++i)
        txtSound[i]->setText(v.sounds[i]);
    chkDisSound->setChecked(!v.soundsEnabled);
    chkBeep->setChecked(v.beepIfNoSound);
    chkOneProcess->setChecked(v.oneProcessOnly);
    chkAutoClose->setChecked(v.askToCloseRunning);
    Combo2->setCurrentIndex(v.freezeSeconds);
    Combo1->setCurrentIndex(v.responseTimeout);
    Text1->setText(v.password);
    for (int k = 0; k < 2; ++k) {
        txtExe[k]->setText(v.programs[k]);
        txtPam[k]->setText(v.parameters[k]);
        chkWaitPrc[k]->setChecked(v.waitForProgram[k]);
    }
    Combo3->setCurrentIndex(v.playTimeIndex);
    Combo4->setCurrentIndex(v.warnIndex);
    Check4->setChecked(v.beep);
    Option2[v.shutdownPc ? 0 : 1]->setChecked(true);
    chkPopups->setChecked(v.popupsAllowed);
    chkStayOnSites->setChecked(v.stayOnApprovedSites);
    m_countdown->setChecked(v.countdown);
    m_schedule->Fill(v);
}

SettingsValues frmSettings::Values() const
{
    SettingsValues v;
    v.showStatusBar = chkStatus->isChecked();
    v.showSystemInfoBar = chkClock->isChecked();
    v.showActiveApps = chkApp->isChecked();
    for (int i = 0; i < SettingsValues::ColourCount; ++i)
        v.colours[i] = qint32(Picture1[i]->Color());
    const QFont sample = Label7->font();
    v.fontName = sample.family();
    v.fontSize = sample.pointSizeF();
    v.fontBold = sample.bold();
    v.fontItalic = sample.italic();
    for (int i = 0; i < 3; ++i)
        if (Option1[i]->isChecked())
            v.backgroundStyle = i;
    v.gradientAngle = VScroll1->value();
    v.gridSize = SettingsValues::SmallestSnap + std::max(0, cmbSnap->currentIndex());
    v.pictureStretch = Check1->isChecked();
    v.pictureKeepAspect = Check2->isChecked();
    v.gradientBehindPicture = Check3->isChecked();
    v.backgroundPicture = m_picturePath;
    for (int i = 0; i < SettingsValues::SoundCount; ++i)
        v.sounds[i] = txtSound[i]->text();
    v.soundsEnabled = !chkDisSound->isChecked();
    v.beepIfNoSound = chkBeep->isChecked();
    v.oneProcessOnly = chkOneProcess->isChecked();
    v.askToCloseRunning = chkAutoClose->isChecked();
    v.freezeSeconds = std::max(0, Combo2->currentIndex());
    v.responseTimeout = std::max(0, Combo1->currentIndex());
    v.password = Text1->text();
    for (int k = 0; k < 2; ++k) {
        v.programs[k] = txtExe[k]->text();
        v.parameters[k] = txtPam[k]->text();
        v.waitForProgram[k] = chkWaitPrc[k]->isChecked();
    }
    v.playTimeIndex = std::max(0, Combo3->currentIndex());
    v.warnIndex = std::max(0, Combo4->currentIndex());
    v.beep = Check4->isChecked();
    v.shutdownPc = Option2[0]->isChecked();
    v.popupsAllowed = chkPopups->isChecked();
    v.stayOnApprovedSites = chkStayOnSites->isChecked();
    v.countdown = m_countdown->isChecked();
    m_schedule->Collect(v);
    return v;
}

void frmSettings::applyEnabledRules()
{
    chkClock->setEnabled(chkStatus->isChecked());
    chkApp->setEnabled(chkStatus->isChecked());
    chkAutoClose->setEnabled(chkOneProcess->isChecked());
}

void frmSettings::SetChkStart()
{
    chkStart->setChecked(Autostart::IsOn());
}

bool frmSettings::SetStart()
{
    // Switching it off keeps a hidden entry; one that was never there need
    // not be made only to be hidden.
    if (!chkStart->isChecked() && !QFileInfo::exists(Autostart::EntryPath()))
        return true;
    return Autostart::Set(chkStart->isChecked());
}

bool frmSettings::confirmPassword()
{
    const QString typed = Text1->text();
    if (typed.isEmpty() || typed == SS.Password)
        return true;
    const QString again = platform::Services::dialogs().inputBox(
        QStringLiteral("Please confirm new password by re-entering it here:"), QStringLiteral("New password:"),
        QString(), QLatin1Char('*'));
    if (again == typed)
        return true;
    platform::Services::dialogs().msgBox(QStringLiteral("The password does not match the one entered in the text-box."),
                                         Msg::Exclamation);
    SSTab1->setCurrentIndex(AdvancedTab);
    Text1->selectAll();
    Text1->setFocus(Qt::OtherFocusReason);
    return false;
}

// A play-time limit without a password can be ended by anybody: said once
// per opening, and the parent may go back to set one.
bool frmSettings::acceptMissingPassword()
{
    if (m_warnedNoPassword || Combo3->currentIndex() <= 0 || !Text1->text().isEmpty()
        || !modGlobals::Install.password.isNull())
        return true;
    m_warnedNoPassword = true;
    const int answer = platform::Services::dialogs().msgBox(
        QStringLiteral("There is no parent password!\r\n\r\nWithout a password anyone can exit Brindle or start a "
                       "new play period.\r\n\r\nDo you want to continue without a password?"),
        Msg::Exclamation | Msg::OKCancel);
    if (answer == Msg::OK)
        return true;
    SSTab1->setCurrentIndex(AdvancedTab);
    Text1->setFocus(Qt::OtherFocusReason);
    return false;
}

bool frmSettings::ApplySettings()
{
    if (!m_loaded)
        LoadView();
    if (const QString day = m_schedule->InvalidDay(); !day.isEmpty()) {
        SSTab1->setCurrentWidget(m_schedule);
        platform::Services::dialogs().msgBox(
            QStringLiteral("The allowed hours of %1 end before they begin. Nothing was saved.").arg(day),
            Msg::Exclamation);
        return false;
    }
    if (!confirmPassword() || !acceptMissingPassword())
        return false;
    QStringList failed = Values().Store();
    if (!SetStart()) {
        failed << QStringLiteral("start at log-in (") + Autostart::EntryPath() + QLatin1Char(')');
        modGlobals::WriteLog(QStringLiteral("Settings()::Cannot write ") + Autostart::EntryPath());
    }
    // Keys changed in the key dialog reach an installed hook at once anyway.
    modKeyHandler::ApplySpecialKeys();
    if (!failed.isEmpty())
        platform::Services::dialogs().msgBox(QStringLiteral("These settings could not be saved:\r\n\r\n")
                                                 + failed.join(QStringLiteral("\r\n")),
                                             Msg::Exclamation);
    return true;
}

void frmSettings::Command3_Click(int index)
{
    if (index == 1 && !ApplySettings())
        return;
    platform::Services::sound().stop();
    done(index == 1 ? Accepted : Rejected);
}

void frmSettings::Command6_Click()
{
    if (ApplySettings())
        emit applied();
}

bool frmSettings::Edit(QWidget *parent, const std::function<void()> &applied)
{
    frmSettings dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (applied)
        connect(&dialog, &frmSettings::applied, &dialog, applied);
    return dialog.exec() == Accepted;
}

void frmSettings::reject()
{
    Command3_Click(0);
}

void frmSettings::Command2_Click()
{
    const int answer = platform::Services::dialogs().msgBox(
        QStringLiteral("Warning!\r\n\r\nAdding or Removing keys is not affected by the cancel button!\r\n\r\n"
                       "Do you want to continue?"),
        Msg::Exclamation | Msg::OKCancel);
    if (answer != Msg::OK)
        return;
    frmAddSpecialKey keys(this);
    keys.setWindowModality(Qt::ApplicationModal);
    keys.exec();
}

void frmSettings::Picture1_Click(int index)
{
    QList<QColor> custom;
    for (int i = 0; i < 16; ++i)
        custom << OleColor::toQColor(quint32(SS.CustomColors[i]));
    const std::optional<QColor> chosen =
        platform::Services::dialogs().chooseColor(OleColor::toQColor(Picture1[index]->Color()), custom);
    if (!chosen)
        return;
    for (int i = 0; i < 16 && i < custom.size(); ++i)
        SS.CustomColors[i] = qint32(OleColor::fromQColor(custom.at(i)));
    Picture1[index]->setColor(OleColor::fromQColor(*chosen));
    PrintExample();
    UpdatePicture();
}

void frmSettings::PrintExample()
{
    for (ColorBox *box : Picture1)
        box->update();
}

void frmSettings::Command1_Click()
{
    if (!FormParts::ChooseSampleFont(Label7))
        return;
    writeFontLabels();
}

void frmSettings::writeFontLabels()
{
    FormParts::WriteFontLabels(Label7, Label1);
}

void frmSettings::showPicturePath()
{
    if (m_picturePath.isEmpty()) {
        Label6->setText(QStringLiteral("[None]"));
        Label6->setToolTip(QString());
        return;
    }
    const int room = Label6->contentsRect().width() - 2 * Label6->margin() - 4;
    Label6->setText(Label6->fontMetrics().elidedText(m_picturePath, Qt::ElideMiddle, room));
    Label6->setToolTip(m_picturePath);
}

QString frmSettings::GetRelative(const QString &path)
{
    const QString app = modGlobals::AppPath();
    const int at = int(path.indexOf(app, 0, Qt::CaseInsensitive));
    if (at < 0)
        return path;
    return QString(path).replace(at, app.size(), QStringLiteral("./"));
}

void frmSettings::Command4_Click()
{
    const QString path = platform::Services::dialogs().openFile(
        QStringLiteral("Open Background picture..."), SS.LastPictureFolder,
        QStringLiteral("All supported formats|*.bmp;*.jpg;*.jpeg;*.gif;*.png"));
    if (path.isEmpty())
        return;
    static const QStringList supported = {QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".gif"),
                                          QStringLiteral(".bmp"), QStringLiteral(".png")};
    if (!supported.contains(lowerSuffix(path))) {
        platform::Services::dialogs().msgBox(QStringLiteral("File format is not supported!"), Msg::Exclamation);
        return;
    }
    SS.LastPictureFolder = modUtil::FolderOf(path);
    m_picturePath = GetRelative(path);
    showPicturePath();
    Option1[MenuBackground::Picture]->setChecked(true);
    UpdatePicture();
}

void frmSettings::Command5_Click()
{
    if (platform::Services::dialogs().msgBox(QStringLiteral("Clear picture?"), Msg::Exclamation | Msg::OKCancel)
        != Msg::OK)
        return;
    m_picturePath.clear();
    showPicturePath();
    if (Option1[MenuBackground::Picture]->isChecked())
        Option1[MenuBackground::StaticColour]->setChecked(true);
    UpdatePicture();
}

bool frmSettings::FileOk(const QString &path)
{
    if (lowerSuffix(path) == QLatin1String(".wav"))
        return true;
    platform::Services::dialogs().msgBox(QStringLiteral("File not supported!"), Msg::Exclamation);
    return false;
}

void frmSettings::cmdSFile_Click(int index)
{
    const QString path = platform::Services::dialogs().openFile(QStringLiteral("Open sound file"), SS.LastFileFolder,
                                                                QStringLiteral("Supported files|*.wav|Wave file"));
    if (path.isEmpty())
        return;
    SS.LastFileFolder = modUtil::FolderOf(path);
    if (FileOk(path))
        txtSound[index]->setText(path);
}

void frmSettings::cmdPlay_Click(int index)
{
    auto &sound = platform::Services::sound();
    sound.stop();
    const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(txtSound[index]->text()));
    if (modGlobals::FileExists(path) && lowerSuffix(path) == QLatin1String(".wav") && sound.hasOutput())
        sound.play(path, false);
}

void frmSettings::cmdExe_Click(int index)
{
    const QString path = platform::Services::dialogs().openFile(
        QStringLiteral("File Link"), SS.LastFileFolder, QStringLiteral("Executeable files|*|All files (*.*)|*.*"));
    if (path.isEmpty())
        return;
    SS.LastFileFolder = modUtil::FolderOf(path);
    txtExe[index]->setText(path);
}

void frmSettings::UpdatePicture()
{
    if (!m_loaded)
        return;
    const SettingsValues v = Values();
    SettingsRecord look;
    look.ScreenBackColor = v.colours[SettingsValues::ScreenBack];
    look.Gradient1Color = v.colours[SettingsValues::Gradient1];
    look.Gradient2Color = v.colours[SettingsValues::Gradient2];
    look.GradientAngle = v.gradientAngle;
    look.BackgroundStyle = v.backgroundStyle;
    look.BackgroundPicture = v.backgroundPicture;
    look.PictureStretch = v.pictureStretch ? VbTrue : VbFalse;
    look.PictureKeepAspect = v.pictureKeepAspect ? VbTrue : VbFalse;
    look.GradientBehindPicture = v.gradientBehindPicture ? VbTrue : VbFalse;
    look.SnapToGrid = 1;
    look.GridSize = v.gridSize;
    Picture2->setPixmap(QPixmap::fromImage(MenuBackground::Paint(look, Picture2->contentsRect().size(), true)));
}

bool frmSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label6 && event->type() == QEvent::MouseButtonDblClick) {
        Command4_Click();
        return true;
    }
    if (watched == Label6 && event->type() == QEvent::Resize)
        showPicturePath();
    return QDialog::eventFilter(watched, event);
}
