// A real menu form: a child's click, entering and leaving edit mode, the
// save and discard paths, backups, and the commands of the two context menus.
// The button properties dialog and the preset manager: what each control
// writes into the record, the defaults of a new button, the pickers.
#include "EditWorld.h"
#include "FormControls.h"

#include "data/Backup.h"
#include "data/SettingsFile.h"
#include "captions/StatusBar.h"
#include "keys/modKeyHandler.h"
#include "menu/MenuBackground.h"
#include "menu/frmButton.h"
#include "menu/frmPresets.h"
#include "programs/ProcessWatch.h"

#include <Clock.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

using modGlobals::SS;

namespace {

// Every field the dialog shows, away from its defaults in one of two ways.
BUTTON sample(bool first)
{
    BUTTON b;
    const qint16 on = first ? VbTrue : VbFalse;
    const qint16 off = first ? VbFalse : VbTrue;
    b.Caption = QStringLiteral("Game %time%");
    b.TextAlignment = first ? 2 : 0;
    b.PictureAlignment = first ? 1 : 2;
    b.BackColor = 0x00112233;
    b.ForeColor = first ? 0x00445566 : qint32(0x80000012);
    b.FontName = QStringLiteral("DejaVu Serif");
    b.FontBold = on;
    b.FontItalic = off;
    b.FontSize = first ? 12.5f : 9;
    b.PicturePath = QStringLiteral("/x/pic.png");
    b.Width = first ? 140 : 61;
    b.Height = first ? 70 : 33;
    b.Left = 33;
    b.Top = 44;
    b.Enabled = off;
    b.Link = QStringLiteral("/usr/bin/game");
    b.Parameters = QStringLiteral("-f \"x y\"");
    b.Password = QStringLiteral("pw");
    b.InUse = 1;
    b.OneInstance = on;
    b.StyleName = QStringLiteral("kept");
    b.UseShellExecute = off;
    b.SetResolution = on;
    b.ScreenWidth = first ? 1024 : 1600;
    b.ScreenHeight = first ? 768 : 1200;
    b.RefreshRate = first ? 75 : 100;
    b.ColorDepth = first ? 16 : 32;
    b.Selected = VbTrue;
    b.Transparent = on;
    b.Bevel = off;
    b.NoGray = first ? 1 : 0;
    b.PictureSize = first ? 1 : 0;
    b.StartTime = 99;
    b.ExtraCount = 5;
    b.ExtraStrings.redim(5);
    b.ExtraStrings.items = first ? QStringList{"1", "1", "2", "0", "1", "x"} : QStringList{"0", "0", "1", "2", "0", ""};
    return b;
}

std::optional<BUTTON> confirm(frmButton &dialog)
{
    Click(&dialog, "Command7");
    return dialog.Result();
}

} // namespace

class TestMenuEditor : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        w = std::make_unique<EditWorld>();
        w->add({0, 0, 50, 40}).Caption = QStringLiteral("%time% .\\x");
        w->add({100, 100, 50, 40});
        w->add({500, 200, 50, 40});
        QVERIFY(w->show());
    }
    void cleanup() { w.reset(); }

    void entering_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("answer"); // to the question about running programs; empty: none run
        QTest::addColumn<bool>("entered");
        QTest::newRow("no password") << "" << QStringList() << "" << true;
        QTest::newRow("wrong, then right in other case") << "Secret" << QStringList{"x", "sECRET"} << "" << true;
        QTest::newRow("password cancelled") << "Secret" << QStringList{"cancel"} << "" << false;
        QTest::newRow("programs running, continue") << "" << QStringList() << "OK" << true;
        QTest::newRow("programs running, cancel") << "" << QStringList() << "Cancel" << false;
    }
    void entering()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, typed);
        QFETCH(QString, answer);
        QFETCH(bool, entered);
        const bool running = !answer.isEmpty();
        SS.Password = password;
        w->world.prompts.script(typed);
        if (running) {
            w->menu.findChild<ProcessWatch *>()->ButtonWatch[1].Processes.append(WatchedProcess{42, {}, {}, false});
            w->world.dialogs->answer(answer);
        }
        w->enter();
        QCOMPARE(w->menu.EditMode(), entered);
        QCOMPARE(w->world.dialogs->shown().size(), running ? 1 : 0);
        QCOMPARE(Backup::MarkerExists(modGlobals::AppPath()), entered);
        QCOMPARE(w->editor()->BackupTimer->isActive(), entered);
        QCOMPARE(w->item("mnuNewButton")->isVisible(), entered);
        QCOMPARE(w->item("spl01")->isVisible(), !entered);
        QCOMPARE(w->item("mnuRefresh")->isEnabled(), !entered);
        QCOMPARE(w->button(0)->Caption() == QLatin1String("%time% .\\x"), entered);
        QCOMPARE(SS.Buttons.at(0).Caption, QStringLiteral("%time% .\\x"));
        QCOMPARE(w->world.prompts.unexpected, 0);
    }

    // In run mode a click freezes the buttons, starts the program and watches
    // it; in edit mode, or without a link, it does nothing.
    void clicks_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QString>("link");
        QTest::newRow("run mode") << false << ".\\game";
        QTest::newRow("edit mode") << true << ".\\game";
        QTest::newRow("no link") << false << "";
    }
    void clicks()
    {
        QFETCH(bool, editMode);
        QFETCH(QString, link);
        w->world.makeProgram(QStringLiteral("game"));
        SS.Buttons.at(0).Link = link;
        SS.ButtonFreezeSeconds = 2;
        if (editMode)
            w->enter();
        Command *button = w->button(0);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        const bool started = !editMode && !link.isEmpty();
        QCOMPARE(w->world.processes->started.size(), started ? 1 : 0);
        QCOMPARE(w->menu.findChild<QTimer *>(QStringLiteral("buttonDelayTimer"))->isActive(), started);
        QVERIFY(w->world.dialogs->shown().isEmpty());
        if (!started)
            return;
        const platform::Pid pid = w->world.processes->started.first().pid;
        QVERIFY(!button->Enabled());
        QCOMPARE(button->ExtraData(), qint32(pid));
        // The form's supervision timer notices the end.
        w->world.windows->mainWindows.insert(pid, 5);
        w->menu.findChild<QTimer *>(QStringLiteral("checkProcess"))->start();
        w->world.processes->exit(pid);
        QTRY_COMPARE(button->ExtraData(), 0);
    }

    // Shown captions follow the clock, in run mode only.
    void liveCaptions()
    {
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        auto *timer = w->menu.findChild<QTimer *>(QStringLiteral("CaptionParser"));
        timer->start(10);
        QTRY_COMPARE(w->button(0)->Caption(), QStringLiteral("14:07:09 ") + modGlobals::AppPath() + QLatin1Char('x'));
        w->enter();
        timer->start(10);
        QTRY_COMPARE(timer->interval(), 1000); // it ticked
        QCOMPARE(w->button(0)->Caption(), QStringLiteral("%time% .\\x"));
    }

    // Where no button stands the form shows its background, in edit mode with the grid.
    void background()
    {
        SS.BackgroundStyle = MenuBackground::Gradient;
        SS.GradientAngle = 300;
        SS.SnapToGrid = 1;
        SS.GridSize = 8;
        w->enter();
        const QRect spot(203, 251, 61, 29);
        QCOMPARE(w->menu.grab(spot).toImage().convertToFormat(QImage::Format_RGB32),
                 MenuBackground::Paint(SS, w->menu.size(), true, spot));
    }

    // The status bar hands clicks it does not use to the form.
    void statusBarPassesClicksOn()
    {
        w->menu.UpdateView();
        auto *bar = w->menu.findChild<StatusBar *>(QStringLiteral("StatusBar"));
        QVERIFY(bar->isVisible());
        QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(bar->width() / 2, 5));
        QTRY_VERIFY(w->menu.findChild<QMenu *>(QStringLiteral("mnuMenu"))->isVisible());
    }

    void leavingSavesAndDiscardReloads()
    {
        const QString file = modGlobals::AppPath() + QStringLiteral("settings.dat");
        w->enter();
        w->editor()->MoveButton(1, 120, 130);
        w->trigger("mnuEditMode");
        QVERIFY(!w->menu.EditMode());
        QVERIFY(!w->editor()->BackupTimer->isActive());
        SettingsRecord saved;
        QVERIFY(!SettingsFile::LoadFile(file, saved));
        QCOMPARE(saved.Buttons.at(1).Left, 120);
        QVERIFY(Backup::MarkerExists(modGlobals::AppPath()));

        w->enter();
        w->editor()->MoveButton(1, 300, 300);
        w->world.dialogs->answer(QStringLiteral("Cancel"));
        w->trigger("mnuEditOffNoSave");
        QVERIFY(w->menu.EditMode());
        modKeyHandler::HookKeyHandler(true);
        QVERIFY(SpecialKeysFile::Write(modGlobals::AppPath() + QStringLiteral("spc_keys.dat"), {{172, QStringLiteral("Web")}}));
        w->world.dialogs->answer(QStringLiteral("OK"));
        w->trigger("mnuEditOffNoSave");
        QVERIFY(!w->menu.EditMode());
        QVERIFY(!Backup::MarkerExists(modGlobals::AppPath()));
        QCOMPARE(w->rect(1), QRect(120, 130, 50, 40));
        QCOMPARE(readFile(file), SettingsFile::Write(saved));
        // The key table read again reaches the hook.
        QCOMPARE(w->world.keyboard->grabbedKeys, QList<int>{172});
        modKeyHandler::HookKeyHandler(false);

        // A file that cannot be read back leaves the menu as edited, and says so.
        w->enter();
        w->editor()->MoveButton(1, 300, 300);
        QVERIFY(writeFile(file, SettingsFile::Write(saved).left(40)));
        w->world.dialogs->answer(QStringLiteral("OK"));
        w->trigger("mnuEditOffNoSave");
        QCOMPARE(w->rect(1), QRect(300, 300, 50, 40));
        QVERIFY(w->world.dialogs->shown().last().text.startsWith(QStringLiteral("Error reading datafile.")));
    }

    void backupsWhileEditing()
    {
        w->editor()->BackupTimer->setInterval(40);
        w->enter();
        QTRY_VERIFY(QFile::exists(Backup::SettingsFileName(modGlobals::AppPath(), 2)));
        w->world.dialogs->answer(QStringLiteral("OK"));
        w->trigger("mnuEditOffNoSave");
        const int after = Backup::NextBackupNumber(modGlobals::AppPath());
        QTest::qWait(120);
        QCOMPARE(Backup::NextBackupNumber(modGlobals::AppPath()), after);
        QVERIFY(QFile::exists(Backup::KeysFileName(modGlobals::AppPath(), 1)));
    }

    void buttonMenuFollowsSelection_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("three") << 3;
    }
    void buttonMenuFollowsSelection()
    {
        QFETCH(int, count);
        w->enter();
        for (int i = 0; i < count; ++i)
            w->editor()->SetSelected(i, true);
        w->rightClick(w->button(0), {5, 5});
        QVERIFY(w->menu.findChild<QMenu *>(QStringLiteral("btnMenu"))->isVisible());
        QCOMPARE(w->editor()->CurrentButton(), 0);
        QCOMPARE(w->item("mnuCopy")->isEnabled(), count == 1);
        QCOMPARE(w->item("mnuLocked")->isVisible(), count == 1);
        QCOMPARE(w->item("mnuLockButtons")->isVisible(), count > 1);
        QCOMPARE(w->item("mnuHorisontalSpacing")->isEnabled(), count > 1);
        QCOMPARE(w->item("mnuHorisontalSpacingRemove")->isEnabled(), true);
        QCOMPARE(w->item("mnuHorisontalSpacingEqual")->isEnabled(), count >= 3);
        QCOMPARE(w->item("mnuPresets")->isEnabled(), false);
    }

    void layoutCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("grid");
        QTest::addColumn<QList<QRect>>("after");
        // All selected, current button 1 at (100, 100, 50, 40); 0 at (0, 0, 50, 40) is 21 x 31.
        // One row per kind of command: the arithmetic has its own test.
        const QList<QRect> before{{0, 0, 21, 31}, {100, 100, 50, 40}, {500, 200, 50, 40}};
        QTest::newRow("equal spacing") << "mnuHorisontalSpacingEqual" << 40
                                       << QList<QRect>{{0, 0, 21, 31}, {235, 100, 50, 40}, {500, 200, 50, 40}};
        QTest::newRow("align center") << "mnuAlignCenter" << 40
                                      << QList<QRect>{{114, 0, 21, 31}, {100, 100, 50, 40}, {100, 200, 50, 40}};
        QTest::newRow("same width") << "mnuSameSizeWidth" << 40
                                    << QList<QRect>{{0, 0, 50, 31}, {100, 100, 50, 40}, {500, 200, 50, 40}};
        QTest::newRow("align to grid") << "mnuAlignToGrid" << 40
                                       << QList<QRect>{{0, 0, 40, 40}, {80, 80, 40, 40}, {480, 200, 40, 40}};
        QTest::newRow("grid 0 leaves them") << "mnuAlignToGrid" << 0 << before;
    }
    void layoutCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, grid);
        QFETCH(QList<QRect>, after);
        SS.GridSize = grid;
        SS.SnapToGrid = 0; // the grid command snaps all the same
        w->enter();
        w->editor()->SizeButton(0, 21, 31);
        w->gestures()->SelectAllObjects(false);
        w->onButton(1, qPrintable(command));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w->rect(i), after.at(i));
    }

    void copyCopyStylePaste()
    {
        SS.Buttons.at(1).Link = QStringLiteral("b-link");
        SS.Buttons.at(1).BackColor = 0x123456;
        SS.Buttons.at(1).ExtraStrings.at(0) = QStringLiteral("1");
        w->enter();
        w->onButton(0, "mnuCopy");
        w->onButton(1, "mnuCopyStyle");
        w->rightClick(&w->menu, {300, 300});
        w->trigger("mnuPaste");
        QCOMPARE(SS.ButtonsMax, 3);
        BUTTON expected = SS.Buttons.at(1);
        expected.Left = 275;
        expected.Top = 280;
        expected.Selected = 0;
        QCOMPARE(SS.Buttons.at(3), expected);
        QCOMPARE(w->rect(3), QRect(275, 280, 50, 40));

        // Paste Style puts the look on, not the lock or what it starts.
        w->onButton(2, "mnuPasteStyle");
        QCOMPARE(SS.Buttons.at(2).BackColor, 0x123456);
        QCOMPARE(SS.Buttons.at(2).ExtraStrings.at(0), QString());
        QVERIFY(SS.Buttons.at(2).Link.isEmpty());
    }

    void presetsIgnoreCase()
    {
        SS.Buttons.at(0).BackColor = 0xAA;
        SS.Buttons.at(1).BackColor = 0xBB;
        SS.Buttons.at(1).ExtraStrings.at(0) = QStringLiteral("1");
        w->enter();
        w->world.dialogs->answer(QStringLiteral("Blue"));
        w->onButton(0, "mnuSaveStylePreset");
        // Same name in other letters: Cancel asks again with it filled in, then OK overwrites.
        for (const char *answer : {"blue", "Cancel", "blue", "OK"})
            w->world.dialogs->answer(QLatin1String(answer));
        w->onButton(1, "mnuSaveStylePreset");
        QCOMPARE(w->world.dialogs->shown().at(3).defaultText, QStringLiteral("blue"));
        QCOMPARE(SS.PresetsMax, 0);
        QCOMPARE(SS.Presets.at(0).StyleName, QStringLiteral("blue"));
        QVERIFY(SS.Presets.at(0).Caption.isEmpty() && SS.Presets.at(0).InUse == 0);

        // Applying it carries the lock flag.
        w->rightClick(w->button(2), {5, 5});
        QVERIFY(w->item("mnuPresets")->isEnabled());
        w->menu.findChild<QAction *>(QStringLiteral("mnuPrset"))->trigger();
        QCOMPARE(SS.Buttons.at(2).BackColor, 0xBB);
        QVERIFY(w->editor()->IsLocked(2));
    }

    // What a dialog hands back is taken and shown at once: stored settings
    // start the information bar's clock, the one preset comes back deleted.
    void dialogResultsReachTheMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("script");
        QTest::newRow("settings: Apply, then Cancel") << "mnuSettings" << QStringList{"apply", "cancel"};
        QTest::newRow("settings: OK") << "mnuSettings" << QStringList{"ok"};
        QTest::newRow("presets: OK") << "mnuEditPresets" << QStringList{"ok"};
    }

    void dialogResultsReachTheMenu()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, script);
        w->world.prompts.script(script);
        w->world.prompts.storing = [] { SS.ShowSystemInfoBar = 1; };
        SS.Presets.redim(0);
        SS.PresetsMax = 0;
        w->world.prompts.editingPresets = [](Prompts::PresetList &p) { p.max = -1; };
        w->enter();
        w->trigger(qPrintable(item));
        const bool settings = item == QLatin1String("mnuSettings");
        QCOMPARE(w->menu.findChild<QTimer *>(QStringLiteral("ClockTimer"))->isActive(), settings);
        QCOMPARE(SS.PresetsMax, settings ? 0 : -1);
        QCOMPARE(w->world.prompts.unexpected, 0);
    }

    void removing()
    {
        w->enter();
        w->editor()->SetSelected(0, true);
        w->editor()->SetSelected(2, true);
        w->world.dialogs->answer(QStringLiteral("Cancel"));
        QTest::keyClick(&w->menu, Qt::Key_Delete);
        QCOMPARE(w->world.dialogs->shown().last().text, QStringLiteral("Do you want to remove 2 object(s) ?"));
        QCOMPARE(SS.ButtonsMax, 2);
        w->world.dialogs->answer(QStringLiteral("OK"));
        QTest::keyClick(&w->menu, Qt::Key_Delete);
        QCOMPARE(SS.ButtonsMax, 0);
        QCOMPARE(SS.Buttons.at(0).Caption, QStringLiteral("B1"));
        w->gestures()->SelectAllObjects(false);
        w->world.dialogs->answer(QStringLiteral("OK"));
        QTest::keyClick(&w->menu, Qt::Key_Delete);
        QCOMPARE(SS.ButtonsMax, -1);
        QVERIFY(SS.Buttons.has(0) && SS.Buttons.at(0).InUse == 0);
        QVERIFY(w->button(0)->isHidden());
    }

    void newButtonAndProperties()
    {
        w->world.prompts.editing = [](BUTTON &b) {
            b.Caption = QStringLiteral("New");
            b.Width = 40;
            b.Height = 21;
            b.ExtraStrings.redim(5);
        };
        w->world.prompts.script({"ok", "ok"});
        w->enter();
        w->rightClick(&w->menu, {200, 300});
        w->trigger("mnuNewButton");
        QCOMPARE(SS.ButtonsMax, 3);
        QCOMPARE(SS.Buttons.at(3).InUse, 1);
        QCOMPARE(w->rect(3), QRect(180, 290, 40, 21)); // 300 - 10.5 rounds to even

        w->world.prompts.editing = [](BUTTON &b) { b.Caption += QLatin1Char('!'); };
        QTest::mouseDClick(w->button(3), Qt::LeftButton);
        QTest::mouseRelease(w->button(3), Qt::LeftButton);
        QCOMPARE(w->world.prompts.asked.last(), QStringLiteral("button:New"));
        QCOMPARE(w->button(3)->Caption(), QStringLiteral("New!"));
        QCOMPARE(w->editor()->CurrentButton(), -1);

        // A locked button opens nothing.
        SS.Buttons.at(3).ExtraStrings.at(0) = QStringLiteral("1");
        const int asked = int(w->world.prompts.asked.size());
        QTest::mouseDClick(w->button(3), Qt::LeftButton);
        QTest::mouseRelease(w->button(3), Qt::LeftButton);
        QCOMPARE(w->world.prompts.asked.size(), asked);
    }

    void everyFieldRoundTrips_data()
    {
        QTest::addColumn<bool>("first");
        QTest::newRow("one way") << true;
        QTest::newRow("the other way") << false;
    }
    void everyFieldRoundTrips()
    {
        QFETCH(bool, first);
        frmButton dialog(sample(first));
        QCOMPARE(confirm(dialog), std::optional<BUTTON>(sample(first)));
    }

    void encodings()
    {
        BUTTON odd = sample(true);
        odd.TextAlignment = 5;
        odd.PictureAlignment = 9;
        odd.ScreenWidth = 1000;
        odd.ExtraStrings.at(3) = QStringLiteral("7");
        frmButton dialog(odd);
        QCOMPARE(Control<QComboBox>(&dialog, "Combo3")->currentText(), QStringLiteral("Center"));
        Control<QComboBox>(&dialog, "Combo4")->setCurrentIndex(1);
        Control<QComboBox>(&dialog, "Combo6")->setCurrentIndex(2);
        Control<QCheckBox>(&dialog, "chkNoGray")->setChecked(false);
        const BUTTON b = *confirm(dialog);
        QCOMPARE(b.TextAlignment, 1);
        QCOMPARE(b.PictureAlignment, 1);
        QCOMPARE(QList<int>({b.ScreenWidth, b.ScreenHeight}), QList<int>({640, 480}));
        QCOMPARE(b.ExtraStrings.at(3), QStringLiteral("0"));
        QCOMPARE(b.ExtraStrings.at(4), QStringLiteral("2"));
        QCOMPARE(b.NoGray, 0);
    }

    void cancelAndCloseBox()
    {
        frmButton cancelled(sample(true));
        Control<QLineEdit>(&cancelled, "Text1")->setText(QStringLiteral("changed"));
        Click(&cancelled, "Command6");
        QVERIFY(!cancelled.Result());

        frmButton closed(sample(true));
        closed.show();
        Control<QLineEdit>(&closed, "Text1")->setText(QStringLiteral("changed"));
        w->world.dialogs->answer(QStringLiteral("Cancel"));
        closed.close();
        QVERIFY(closed.isVisible());
        w->world.dialogs->answer(QStringLiteral("OK"));
        closed.close();
        QVERIFY(!closed.isVisible());
        QVERIFY(!closed.Result());
        QCOMPARE(w->world.dialogs->shown().size(), 2);
        QCOMPARE(w->world.dialogs->shown().last().text, QStringLiteral("Skip changes?"));
    }

    void newButton_data()
    {
        QTest::addColumn<bool>("preset");
        QTest::newRow("from the preset named default") << true;
        QTest::newRow("built-in defaults") << false;
    }
    void newButton()
    {
        QFETCH(bool, preset);
        SS.FontName = QStringLiteral("DejaVu Sans Mono");
        SS.FontSize = 11;
        if (preset) {
            SS.Presets.redim(1);
            SS.PresetsMax = 1;
            SS.Presets.at(0).StyleName = QStringLiteral("other");
            SS.Presets.at(1) = sample(true);
            SS.Presets.at(1).Caption.clear();
            SS.Presets.at(1).StyleName = QStringLiteral("DeFault");
        }
        frmButton dialog(std::nullopt);
        const BUTTON b = *confirm(dialog);
        QCOMPARE(QSize(b.Width, b.Height), preset ? QSize(140, 70) : QSize(130, 50));
        QCOMPARE(b.FontName, preset ? QStringLiteral("DejaVu Serif") : SS.FontName);
        QCOMPARE(b.TextAlignment, preset ? 2 : 0);
        QCOMPARE(b.ExtraStrings.at(2), preset ? QStringLiteral("2") : QStringLiteral("0"));
        // A new button starts unlocked and nowhere in particular.
        QCOMPARE(b.ExtraCount, 5);
        QCOMPARE(b.ExtraStrings.at(0), QString());
        QVERIFY(b.Caption.isEmpty() && b.InUse == 0 && b.Left == 0);
    }

    void pictureFormats()
    {
        frmButton dialog(sample(true));
        for (const char *answer : {"/tmp/a.wmf", "OK", "/tmp/pics/b.jpeg"})
            w->world.dialogs->answer(QLatin1String(answer));
        Click(&dialog, "Command5");
        QCOMPARE(w->world.dialogs->shown().at(1).text, QStringLiteral("Format not supported!"));
        QCOMPARE(w->world.dialogs->shown().size(), 3);
        QCOMPARE(Control<QLineEdit>(&dialog, "Text3")->text(), QStringLiteral("/tmp/pics/b.jpeg"));
        QCOMPARE(SS.LastPictureFolder, QStringLiteral("/tmp/pics/"));
    }

    void linkFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("caption");
        QTest::newRow("program") << "my GAME.sh" << QByteArray("#!/bin/sh\n") << "My Game";
        QTest::newRow("desktop entry") << "tux.desktop"
                                       << QByteArray("[Desktop Entry]\nName[de]=Pinguin\nName=Super Tux\nIcon=tux\n")
                                       << "Super Tux";
    }
    void linkFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, caption);
        const QString path = w->world.env.path(file);
        QVERIFY(writeFile(path, content));
        frmButton dialog(std::nullopt);
        w->world.dialogs->answer(path);
        Click(&dialog, "Command4");
        QCOMPARE(Control<QLineEdit>(&dialog, "Text2")->text(), path);
        QCOMPARE(Control<QLineEdit>(&dialog, "Text3")->text(), path);
        QCOMPARE(Control<QLineEdit>(&dialog, "Text1")->text(), caption);
        QCOMPARE(Control<Command>(&dialog, "Command2")->Caption(), caption);
    }

    void optionRules()
    {
        SS.OneProcessOnly = VbTrue;
        frmButton dialog(sample(true));
        auto *oneInstance = Control<QCheckBox>(&dialog, "Check2");
        auto *screen = Control<QCheckBox>(&dialog, "chkScreen");
        QVERIFY(oneInstance->isEnabled() && screen->isEnabled());
        QTest::mouseClick(Control<QCheckBox>(&dialog, "chkShellExecute"), Qt::LeftButton);
        QVERIFY(!oneInstance->isEnabled() && !screen->isEnabled());
        QVERIFY(oneInstance->isChecked() && screen->isChecked());
    }

    void coloursShareTheCustomColours()
    {
        frmButton dialog(sample(true));
        w->world.dialogs->answer(QStringLiteral("#102030 #aabbcc"));
        Click(&dialog, "Command3_1");
        QCOMPARE(Control<Command>(&dialog, "Command3_1")->BackColor(), 0x302010u);
        QCOMPARE(Control<Command>(&dialog, "Command2")->BackColor(), 0x302010u);
        QCOMPARE(SS.CustomColors[0], 0xCCBBAA);
        QCOMPARE(SS.CustomColors[1], 0xFFFFFF);
    }

    void presetManager()
    {
        SS.Presets.redim(1);
        SS.PresetsMax = 1;
        SS.Presets.at(0).StyleName = QStringLiteral("Blue");
        SS.Presets.at(1).StyleName = QStringLiteral("Red");
        const SettingsRecord before = SS;
        frmPresets form(Prompts::PresetList::Of(SS));
        auto *list = Control<QListWidget>(&form, "List1");
        QCOMPARE(list->currentRow(), 0);
        // Another preset's name is refused; the same name in other letters is not.
        for (const char *answer : {"red", "OK", "BLUE"})
            w->world.dialogs->answer(QLatin1String(answer));
        Click(&form, "Command4");
        QCOMPARE(form.Presets().list.at(0).StyleName, QStringLiteral("BLUE"));
        QCOMPARE(list->item(0)->text(), QStringLiteral("BLUE"));

        w->world.dialogs->answer(QStringLiteral("OK"));
        Click(&form, "Command1");
        QCOMPARE(w->world.dialogs->shown().last().text, QStringLiteral("Delete Preset \"BLUE\"?"));
        QCOMPARE(form.Presets().list.at(0).StyleName, QStringLiteral("Red"));
        QCOMPARE(list->count(), 1);
        Click(&form, "Command1");
        QCOMPARE(w->world.dialogs->shown().last().text, QStringLiteral("Please select a preset first!"));
        // The manager works on its copy; the editor stores what it hands back.
        QVERIFY(SS == before);
    }

    void presetPreviewShowsTheWholeCaption_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("pictureAlignment");
        QTest::newRow("small button, picture left") << 14 << 0;
        QTest::newRow("small button, picture centred") << 12 << 2;
        QTest::newRow("font too big for the stage") << 72 << 0;
    }

    // "Preview Button" shows whole, at the preset's font where the stage has room.
    void presetPreviewShowsTheWholeCaption()
    {
        QFETCH(int, fontSize);
        QFETCH(int, pictureAlignment);
        SS.Presets.redim(0);
        SS.PresetsMax = 0;
        BUTTON &preset = SS.Presets.at(0);
        preset.FontName = QStringLiteral("DejaVu Sans");
        preset.FontSize = fontSize;
        preset.Width = 100;
        preset.Height = 40;
        preset.PictureAlignment = pictureAlignment;
        frmPresets form(Prompts::PresetList::Of(SS));
        const Command *preview = Control<Command>(&form, "Command2");
        const QFontMetrics metrics(preview->font());
        QVERIFY(metrics.horizontalAdvance(preview->Caption()) <= preview->textRect().width());
        QVERIFY(metrics.height() <= preview->textRect().height());
        QVERIFY(preview->parentWidget()->rect().contains(preview->geometry()));
        QCOMPARE(preview->font().pointSizeF() == fontSize, fontSize < 20);
    }

private:
    std::unique_ptr<EditWorld> w;
};

QTEST_MAIN(TestMenuEditor)
#include "TestMenuEditor.moc"
