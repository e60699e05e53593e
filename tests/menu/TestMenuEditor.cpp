// A real menu form: a child's click, entering and leaving edit mode, the
// save and discard paths, backups, and the commands of the two context menus.
#include "EditWorld.h"

#include "data/Backup.h"
#include "data/SettingsFile.h"
#include "captions/StatusBar.h"
#include "keys/modKeyHandler.h"
#include "programs/ProcessWatch.h"

#include <Clock.h>

#include <QTimer>
#include <QtTest>

using modGlobals::SS;

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
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("entered");
        QTest::newRow("no password") << "" << QStringList() << false << "" << true;
        QTest::newRow("wrong, then right in other case") << "Secret" << QStringList{"x", "sECRET"} << false << "" << true;
        QTest::newRow("password cancelled") << "Secret" << QStringList{"cancel"} << false << "" << false;
        QTest::newRow("programs running, continue") << "" << QStringList() << true << "OK" << true;
        QTest::newRow("programs running, cancel") << "" << QStringList() << true << "Cancel" << false;
    }
    void entering()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, typed);
        QFETCH(bool, running);
        QFETCH(QString, answer);
        QFETCH(bool, entered);
        SS.Password = password;
        w->world.prompts.script(typed);
        if (running)
            w->menu.findChild<ProcessWatch *>()->ButtonWatch[1].Processes.append(WatchedProcess{42, {}, {}, false});
        if (!answer.isEmpty())
            w->world.dialogs->answer(answer);
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
        w->rightClick(w->button(1), {5, 5});
        w->trigger(qPrintable(command));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w->rect(i), after.at(i));
    }

    void copyCopyStylePaste()
    {
        SS.Buttons.at(1).Link = QStringLiteral("b-link");
        SS.Buttons.at(1).BackColor = 0x123456;
        SS.Buttons.at(1).ExtraStrings.at(0) = QStringLiteral("1");
        w->enter();
        w->rightClick(w->button(0), {5, 5});
        w->trigger("mnuCopy");
        w->rightClick(w->button(1), {5, 5});
        w->trigger("mnuCopyStyle");
        w->rightClick(&w->menu, {300, 300});
        QVERIFY(w->item("mnuPaste")->isEnabled());
        w->trigger("mnuPaste");
        QCOMPARE(SS.ButtonsMax, 3);
        BUTTON expected = SS.Buttons.at(1);
        expected.Left = 275;
        expected.Top = 280;
        expected.Selected = 0;
        QCOMPARE(SS.Buttons.at(3), expected);
        QCOMPARE(w->rect(3), QRect(275, 280, 50, 40));

        // Paste Style puts the look on, not the lock or what it starts.
        w->rightClick(w->button(2), {5, 5});
        w->trigger("mnuPasteStyle");
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
        w->rightClick(w->button(0), {5, 5});
        w->trigger("mnuSaveStylePreset");
        // Same name in other letters: Cancel asks again with it filled in, then OK overwrites.
        for (const char *answer : {"blue", "Cancel", "blue", "OK"})
            w->world.dialogs->answer(QLatin1String(answer));
        w->rightClick(w->button(1), {5, 5});
        w->trigger("mnuSaveStylePreset");
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

private:
    std::unique_ptr<EditWorld> w;
};

QTEST_MAIN(TestMenuEditor)
#include "TestMenuEditor.moc"
