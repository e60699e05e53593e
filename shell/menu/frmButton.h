#pragma once

#include "data/SettingsRecord.h"

#include <QDialog>

#include <optional>

class Command;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTimer;

// "Button properties": edits one button record, or makes a new one, on the
// tabs "Link", "Layout" and "Screen", with a live preview. OK hands the
// edited record back; Cancel and the close box hand back nothing.
class frmButton : public QDialog
{
    Q_OBJECT

public:
    // Without a record the dialog starts a new button from the preset named
    // "default", or from the built-in defaults.
    explicit frmButton(const std::optional<BUTTON> &record, QWidget *parent = nullptr);

    // Shows a fresh dialog modally.
    static std::optional<BUTTON> Edit(const std::optional<BUTTON> &record, QWidget *parent);
    // The record written by OK; nothing before OK or after Cancel.
    const std::optional<BUTTON> &Result() const { return m_result; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildLinkTab();
    QWidget *buildLayoutTab();
    QWidget *buildScreenTab();
    void fill(const BUTTON &button);
    void fillDefaults();
    void write(BUTTON &button) const;
    void applyOptionRules();
    void refreshPreview();
    void writeFontLabels();
    void setScreenMode(int width, int refreshRate, int depth);
    void choosePicture();
    void chooseLink();
    void chooseCommandLineFile();
    void chooseColor(int index);
    void chooseFont();
    void setCurrentScreenMode();

    void Command7_Click(); // OK
    void Command6_Click(); // Cancel

    QTabWidget *SSTab1 = nullptr;
    QCheckBox *Check1 = nullptr; // "Enabled"
    Command *Command7 = nullptr;
    Command *Command6 = nullptr;
    Command *Command11 = nullptr; // "Variables..."
    // Link
    QLineEdit *Text2 = nullptr; // link
    Command *Command4 = nullptr;
    QLineEdit *Text5 = nullptr; // password
    QLineEdit *Text4 = nullptr; // command line options
    Command *Command13 = nullptr;
    QCheckBox *chkShellExecute = nullptr;
    QCheckBox *Check2 = nullptr; // one instance
    // Layout
    QLineEdit *Text1 = nullptr; // caption
    QLineEdit *Text3 = nullptr; // picture file
    Command *Command5 = nullptr;
    QComboBox *Combo1 = nullptr; // icon size
    QComboBox *Combo3 = nullptr; // text alignment
    QComboBox *Combo4 = nullptr; // picture alignment
    QCheckBox *chkOverEffects = nullptr;
    QComboBox *Combo2 = nullptr; // over
    QComboBox *Combo5 = nullptr; // out
    QComboBox *Combo6 = nullptr; // click
    QCheckBox *chkTransparent = nullptr;
    QCheckBox *chkBevel = nullptr;
    QCheckBox *chkNoGray = nullptr;
    Command *Command3[2] = {}; // text and background colour
    Command *Command1 = nullptr; // font
    QLabel *Label7 = nullptr;    // font sample
    QLabel *Label1[4] = {};      // font name, size, bold, italic
    QFrame *picBack = nullptr;
    Command *Command2 = nullptr; // preview
    // Screen
    QCheckBox *chkScreen = nullptr;
    QComboBox *cmbRes = nullptr;
    QComboBox *cmbDpt = nullptr;
    QComboBox *cmbRef = nullptr;
    Command *Command10 = nullptr;
    QTimer *FocusTimer = nullptr;

    BUTTON m_record;
    bool m_isNew = false;
    bool m_loading = true;
    std::optional<BUTTON> m_result;
};
