// The button properties dialog and the preset manager: what each control
// writes into the record, the defaults of a new button, the pickers.
#include "FormControls.h"
#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "menu/frmButton.h"
#include "menu/frmPresets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
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
    const QStringList extra = first ? QStringList{"1", "1", "2", "0", "1", "x"} : QStringList{"0", "0", "1", "2", "0", ""};
    for (int i = 0; i <= 5; ++i)
        b.ExtraStrings.at(i) = extra.at(i);
    return b;
}

std::optional<BUTTON> confirm(frmButton &dialog)
{
    Click(&dialog, "Command7");
    return dialog.Result();
}

} // namespace

class TestButtonDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<MenuWorld>(); }
    void cleanup() { m_world.reset(); }

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
        m_world->dialogs->answer(QStringLiteral("Cancel"));
        closed.close();
        QVERIFY(closed.isVisible());
        m_world->dialogs->answer(QStringLiteral("OK"));
        closed.close();
        QVERIFY(!closed.isVisible());
        QVERIFY(!closed.Result());
        QCOMPARE(m_world->dialogs->shown().size(), 2);
        QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Skip changes?"));
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
            m_world->dialogs->answer(QLatin1String(answer));
        Click(&dialog, "Command5");
        QCOMPARE(m_world->dialogs->shown().at(1).text, QStringLiteral("Format not supported!"));
        QCOMPARE(m_world->dialogs->shown().size(), 3);
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
        const QString path = m_world->env.path(file);
        QVERIFY(writeFile(path, content));
        frmButton dialog(std::nullopt);
        m_world->dialogs->answer(path);
        Click(&dialog, "Command4");
        QCOMPARE(Control<QLineEdit>(&dialog, "Text2")->text(), path);
        QCOMPARE(Control<QLineEdit>(&dialog, "Text3")->text(), path);
        QCOMPARE(Control<QLineEdit>(&dialog, "Text1")->text(), caption);
        QCOMPARE(Control<Command>(&dialog, "Command2")->Caption(), caption);
    }

    void optionRules()
    {
        SS.OneProcessOnly = VbTrue;
        BUTTON b = sample(true);
        frmButton dialog(b);
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
        m_world->dialogs->answer(QStringLiteral("#102030 #aabbcc"));
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
            m_world->dialogs->answer(QLatin1String(answer));
        Click(&form, "Command4");
        QCOMPARE(form.Presets().list.at(0).StyleName, QStringLiteral("BLUE"));
        QCOMPARE(list->item(0)->text(), QStringLiteral("BLUE"));

        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(&form, "Command1");
        QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Delete Preset \"BLUE\"?"));
        QCOMPARE(form.Presets().list.at(0).StyleName, QStringLiteral("Red"));
        QCOMPARE(list->count(), 1);
        Click(&form, "Command1");
        QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Please select a preset first!"));
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
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestButtonDialog)
#include "TestButtonDialog.moc"
