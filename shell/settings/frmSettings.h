#pragma once

#include "settings/SettingsValues.h"

#include <QDialog>

#include <functional>

class ColorBox;
class Command;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTimer;
class ScheduleTab;

// The parent's settings: screen layout, sounds, process rules, special keys,
// password, start at log-in, start-up and exit programs, play time and the
// child browser's rules and the day's schedule, one tab each. The controls
// show a copy of the stored values; OK and Apply store what they show
// (ApplySettings), Cancel closes without storing what was not applied.
class frmSettings : public QDialog
{
    Q_OBJECT

public:
    // The tabs in their order; each is made by its own build function.
    enum Tab { ScreenLayoutTab, SoundTab, AdvancedTab, StartupExitTab, SpecialTab };

    explicit frmSettings(QWidget *parent = nullptr);
    ~frmSettings() override;

    // Shows a fresh dialog modally; `applied` runs after each Apply. True
    // when OK stored the settings.
    static bool Edit(QWidget *parent, const std::function<void()> &applied);

    // The LoadViewTimer's work: fills every control from the stored values.
    void LoadView();
    // Stores every control value; false only when a new password was not
    // confirmed, or the parent chose to go back and set one.
    bool ApplySettings();
    // The values the controls show.
    SettingsValues Values() const;

    // The preview of the background, as the menu will paint it with the grid.
    void UpdatePicture();
    // Repaints the colour boxes with their "Right-click" captions.
    void PrintExample();
    // Only ".wav" files are taken.
    static bool FileOk(const QString &path);
    // A path inside the program folder becomes relative to it ("./...").
    static QString GetRelative(const QString &path);

signals:
    // Apply stored the settings and the dialog stays open: the menu is to
    // take them now.
    void applied();

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildScreenTab();
    QWidget *buildSoundTab();
    QWidget *buildAdvancedTab();
    QWidget *buildStartupTab();
    QWidget *buildSpecialTab();
    void fill(const SettingsValues &values);
    void showPicturePath();
    void writeFontLabels();
    void applyEnabledRules();
    void SetChkStart();
    bool SetStart();
    bool confirmPassword();
    bool acceptMissingPassword();

    void Command3_Click(int index); // 0 Cancel, 1 OK
    void Command6_Click();          // Apply
    void Command2_Click();          // Add/Remove keys...
    void Command4_Click();          // background picture Change...
    void Command5_Click();          // background picture Clear
    void cmdSFile_Click(int index);
    void cmdPlay_Click(int index);
    void cmdExe_Click(int index);
    void Picture1_Click(int index);
    void Command1_Click();          // font Change...

    QTabWidget *SSTab1 = nullptr;
    Command *Command3[2] = {};
    Command *Command6 = nullptr;
    QTimer *LoadViewTimer = nullptr;
    // Screen Layout
    QCheckBox *chkStatus = nullptr;
    QCheckBox *chkClock = nullptr;
    QCheckBox *chkApp = nullptr;
    ColorBox *Picture1[SettingsValues::ColourCount] = {};
    QLabel *Label7 = nullptr;   // font sample
    QLabel *Label1[4] = {};     // font name, size, bold, italic
    Command *Command1 = nullptr;
    QRadioButton *Option1[3] = {};
    QScrollBar *VScroll1 = nullptr;
    QLabel *lblAngle = nullptr;
    QComboBox *cmbSnap = nullptr;
    QCheckBox *Check1 = nullptr; // Stretch
    QCheckBox *Check2 = nullptr; // Keep aspect
    QCheckBox *Check3 = nullptr; // Gradient behind picture
    QLabel *Label6 = nullptr;    // picture path
    Command *Command4 = nullptr;
    Command *Command5 = nullptr;
    QLabel *Picture2 = nullptr;  // preview
    // Sound Options
    QLineEdit *txtSound[SettingsValues::SoundCount] = {};
    Command *cmdSFile[SettingsValues::SoundCount] = {};
    Command *cmdPlay[SettingsValues::SoundCount] = {};
    QCheckBox *chkDisSound = nullptr;
    QCheckBox *chkBeep = nullptr;
    Command *cmdStop = nullptr;
    // Advanced
    QCheckBox *chkOneProcess = nullptr;
    QCheckBox *chkAutoClose = nullptr;
    QComboBox *Combo2 = nullptr; // freeze
    QComboBox *Combo1 = nullptr; // response timeout
    Command *Command2 = nullptr;
    QLineEdit *Text1 = nullptr;  // password
    QCheckBox *chkStart = nullptr;
    // Startup / Exit
    QLineEdit *txtExe[2] = {};
    QLineEdit *txtPam[2] = {};
    QCheckBox *chkWaitPrc[2] = {};
    Command *cmdExe[2] = {};
    // Special Options
    QComboBox *Combo3 = nullptr; // play time
    QCheckBox *Check4 = nullptr; // beep
    QComboBox *Combo4 = nullptr; // warning seconds
    QRadioButton *Option2[2] = {}; // Shutdown PC, Exit Brindle
    QCheckBox *chkPopups = nullptr;
    QCheckBox *chkStayOnSites = nullptr;
    QCheckBox *m_countdown = nullptr; // the countdown notice
    // Schedule
    ScheduleTab *m_schedule = nullptr;

    QString m_picturePath; // the background picture being edited
    bool m_loaded = false;
    bool m_warnedNoPassword = false;
};
