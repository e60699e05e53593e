// The settings dialog: every control to its place and back, the password
// confirmation, Apply and Cancel, the autostart entry. Its values against the
// record and the store: a stored position outside its list shows as the
// nearest item, so no control is indexed past its end; what cannot be stored
// is named; untouched keys stay unwritten. The Wicket links editor: links.ini
// read up to its first gap and rewritten without gaps, the address rule, and
// how the two dialogs end.
#include "FormControls.h"
#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "playtime/PlayTime.h"
#include "settings/Autostart.h"
#include "settings/frmSettings.h"
#include "links/frmEditChildLinks.h"
#include "links/frmEditURL.h"

#include <Clock.h>
#include <IniFile.h>
#include <SettingsStore.h>

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using modGlobals::SS;

namespace {

// Every value away from its default, in one of two ways.
SettingsValues sample(bool first)
{
    SettingsValues v;
    v.showStatusBar = first;
    v.showSystemInfoBar = !first;
    v.showActiveApps = first;
    v.colours = {0x00102030, qint32(0x8000000F), 0x00FF0000, 0x0000FF00, 0x00ABCDEF, first ? 0x00FFFFFF : 0};
    v.fontName = first ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans Mono");
    v.fontSize = first ? 12.5 : 20;
    v.fontBold = first;
    v.fontItalic = !first;
    v.backgroundStyle = first ? 2 : 1;
    v.gradientAngle = first ? 45 : 360;
    v.gridSize = first ? 5 : 50;
    v.pictureStretch = first;
    v.pictureKeepAspect = !first;
    v.gradientBehindPicture = first;
    v.backgroundPicture = QStringLiteral("./pics/back.png");
    v.sounds = {QStringLiteral("a.wav"), QStringLiteral("%apppath%b.wav"), QStringLiteral("c.wav"), QString()};
    v.soundsEnabled = !first;
    v.beepIfNoSound = first;
    v.oneProcessOnly = first;
    v.askToCloseRunning = !first;
    v.freezeSeconds = first ? 10 : 3;
    v.responseTimeout = first ? 21 : 0;
    v.password = QStringLiteral("Secret");
    v.programs = {QStringLiteral("/usr/bin/start me"), QStringLiteral("%sysdir%bye")};
    v.parameters = {QStringLiteral("-a \"b c\""), QString()};
    v.waitForProgram = {first, !first};
    v.playTimeIndex = first ? 56 : 3;
    v.warnIndex = first ? 0 : 23;
    v.beep = !first;
    v.shutdownPc = first;
    v.popupsAllowed = first;
    v.stayOnApprovedSites = !first;
    v.countdown = !first;
    v.dailyStart = first ? QStringLiteral("06:30") : QString();
    // Monday, Tuesday, Wednesday, Saturday and Sunday.
    v.dayLimits[0] = first ? QStringLiteral("0") : QString();
    v.dayLimits[1] = first ? QStringLiteral("24") : QString();
    v.dayLimits[6] = first ? QString() : QStringLiteral("288");
    v.dayHours[0] = first ? QStringLiteral("07:00-24:00") : QString();
    v.dayHours[5] = first ? QStringLiteral("09:15-21:45") : QString();
    v.dayHours[2] = first ? QString() : QStringLiteral("00:00-08:00");
    return v;
}

QString timeLimit(const char *key)
{
    return SettingsStore::GetSetting(modGlobals::AppTitle, QStringLiteral("TimeLimit"), QLatin1String(key));
}

QString wicketSetting(const char *key)
{
    IniFile ini(SettingsValues::WicketSettingsPath());
    ini.load();
    return ini.value(QStringLiteral("settings"), QLatin1String(key), QStringLiteral("<none>"));
}

const QByteArray threeLinks = "[LINK_000]\r\nNAME=Games\r\nURL=http://games.example/\r\n"
                              "[LINK_001]\r\nNAME=School\r\nURL=https://school.example/\r\n"
                              "[LINK_002]\r\nNAME=Zoo\r\nURL=http://zoo.example/\r\n";

// Answers the next frmEditURL that comes up.
void whenUrlDialogShows(std::function<void(frmEditURL &)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<frmEditURL *>(window); dialog && dialog->isVisible())
                return answer(*dialog);
        QFAIL("no Edit URL dialog");
    });
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        QDir().mkpath(m_world->env.path(QStringLiteral("wicket")));
    }
    void cleanup() { m_world.reset(); }

    // The PC runs Linux: no text of the dialog speaks of Windows.
    void textsNameNoOperatingSystem()
    {
        frmSettings dialog;
        QStringList texts{dialog.windowTitle()};
        for (const QWidget *w : dialog.findChildren<QWidget *>())
            for (const char *name : {"text", "title", "Caption", "toolTip"})
                texts << w->property(name).toString();
        QVERIFY(texts.contains(QStringLiteral("Start Brindle when the computer starts")));
        QCOMPARE(texts.filter(QStringLiteral("Windows")), QStringList());
    }

    void everyControlLoadsAndStores_data()
    {
        QTest::addColumn<bool>("first");
        QTest::newRow("one way") << true;
        QTest::newRow("the other") << false;
    }

    void everyControlLoadsAndStores()
    {
        QFETCH(bool, first);
        const SettingsValues expected = sample(first);
        QVERIFY(expected.Store().isEmpty());
        frmSettings dialog;
        dialog.LoadView();
        QCOMPARE(dialog.Values(), expected);

        // Everything back at its default, then OK writes the controls out.
        QVERIFY(SettingsValues().Store().isEmpty());
        SS.Password = expected.password;
        Click(&dialog, "Command3_1");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(SettingsValues::Read(), expected);
        // The forms other readers rely on.
        QCOMPARE(SS.ShellCommands.at(2), first ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(SS.SoundsEnabled, first ? VbFalse : VbTrue);
        QCOMPARE(timeLimit("Shutdown"), first ? QStringLiteral("-1") : QStringLiteral("0"));
        // Today's own limit, where today has one.
        const QString today = expected.dayLimits[Clock::now().date().dayOfWeek() - 1];
        QCOMPARE(PlayTime::LimitSeconds(), (today.isEmpty() ? expected.playTimeIndex : today.toInt()) * 300);
        QCOMPARE(PlayTime::WarnSeconds(), (expected.warnIndex + 1) * 5);
        QCOMPARE(wicketSetting("Allowpopup"), first ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(wicketSetting("StayOnApprovedSites"), first ? QStringLiteral("0") : QStringLiteral("1"));
    }

    // Hours that end before they begin are refused, and nothing is stored.
    void scheduleHoursEndingBeforeTheyBegin()
    {
        frmSettings dialog;
        dialog.LoadView();
        Control<QCheckBox>(&dialog, "chkHoursTue")->setChecked(true);
        Control<QTimeEdit>(&dialog, "txtFromTue")->setTime(QTime(20, 0));
        Control<QTimeEdit>(&dialog, "txtToTue")->setTime(QTime(8, 0));
        Control<QCheckBox>(&dialog, "chkApp")->toggle();
        const qint16 before = SS.ShowActiveApps;
        m_world->dialogs->answer(QStringLiteral("OK"));
        QVERIFY(!dialog.ApplySettings());
        QCOMPARE(SS.ShowActiveApps, before);
        QVERIFY(timeLimit("HoursTue").isNull());
        QCOMPARE(m_world->dialogs->shown().last().text,
                 QStringLiteral("The allowed hours of Tuesday end before they begin. Nothing was saved."));
    }

    // Apply stores at once and the menu hears of it; Cancel afterwards keeps
    // what was applied and only that; OK is reported by the result.
    void applyThenCancelOrOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("Apply, then Cancel") << false;
        QTest::newRow("Apply, then OK") << true;
    }

    void applyThenCancelOrOk()
    {
        QFETCH(bool, ok);
        const qint16 apps = SS.ShowActiveApps, clock = SS.ShowSystemInfoBar;
        int applied = 0;
        QTimer::singleShot(0, [ok] {
            auto *dialog = static_cast<frmSettings *>(QApplication::activeModalWidget());
            dialog->LoadView();
            Control<QCheckBox>(dialog, "chkApp")->toggle();
            Click(dialog, "Command6");
            Control<QCheckBox>(dialog, "chkClock")->toggle();
            if (ok)
                Click(dialog, "Command3_1");
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QCOMPARE(frmSettings::Edit(nullptr, [&applied] { ++applied; }), ok);
        QCOMPARE(applied, 1);
        QVERIFY(SS.ShowActiveApps != apps);
        QCOMPARE(SS.ShowSystemInfoBar != clock, ok);
    }

    void passwordConfirmation_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirmation"); // empty: no question expected
        QTest::addColumn<bool>("accepted");

        QTest::newRow("unchanged asks nothing") << "Secret" << "Secret" << "" << true;
        QTest::newRow("case only asks") << "Secret" << "SECRET" << "SECRET" << true;
        QTest::newRow("new one confirmed") << "" << "n3w" << "n3w" << true;
        QTest::newRow("new one not confirmed") << "Secret" << "n3w" << "n3W" << false;
        QTest::newRow("emptied asks nothing") << "Secret" << "" << "" << true;
    }

    void passwordConfirmation()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, confirmation);
        QFETCH(bool, accepted);
        SS.Password = stored;
        frmSettings dialog;
        dialog.LoadView();
        Control<QLineEdit>(&dialog, "Text1")->setText(typed);
        Control<QCheckBox>(&dialog, "chkApp")->toggle();
        const qint16 before = SS.ShowActiveApps;
        if (!confirmation.isEmpty())
            m_world->dialogs->answer(confirmation);
        if (!accepted)
            m_world->dialogs->answer(QStringLiteral("OK"));

        QCOMPARE(dialog.ApplySettings(), accepted);
        QCOMPARE(SS.Password, accepted ? typed : stored);
        QCOMPARE(SS.ShowActiveApps != before, accepted);
        const auto &shown = m_world->dialogs->shown();
        QCOMPARE(shown.size(), (confirmation.isEmpty() ? 0 : 1) + (accepted ? 0 : 1));
        if (!confirmation.isEmpty()) {
            QCOMPARE(shown.first().title, QStringLiteral("New password:"));
            QCOMPARE(shown.first().mask, QLatin1Char('*'));
        }
        if (!accepted) {
            QCOMPARE(shown.last().text, QStringLiteral("The password does not match the one entered in the text-box."));
            QCOMPARE(Control<QTabWidget>(&dialog, "SSTab1")->currentIndex(), int(frmSettings::AdvancedTab));
            QCOMPARE(Control<QLineEdit>(&dialog, "Text1")->selectedText(), typed);
        }
    }

    void playTimeWithoutPasswordWarnsOnce()
    {
        frmSettings dialog;
        dialog.LoadView();
        Control<QComboBox>(&dialog, "Combo3")->setCurrentIndex(4);
        m_world->dialogs->answer(QStringLiteral("Cancel"));
        QVERIFY(!dialog.ApplySettings());
        QCOMPARE(timeLimit("PlayTime"), QString());
        QCOMPARE(Control<QTabWidget>(&dialog, "SSTab1")->currentIndex(), int(frmSettings::AdvancedTab));
        QVERIFY(dialog.ApplySettings());
        QCOMPARE(timeLimit("PlayTime"), QStringLiteral("4"));
        QCOMPARE(m_world->dialogs->shown().size(), 1);
        QVERIFY(m_world->dialogs->shown().first().text.contains(QStringLiteral("without a password")));
    }

    void autostartOffKeepsAHiddenEntry()
    {
        QVERIFY(!Autostart::IsOn());
        for (bool on : {true, false}) {
            frmSettings dialog;
            dialog.LoadView();
            auto *start = Control<QCheckBox>(&dialog, "chkStart");
            QCOMPARE(start->isChecked(), !on);
            start->setChecked(on);
            QVERIFY(dialog.ApplySettings());
            IniFile entry(Autostart::EntryPath(), IniFile::Encoding::Utf8);
            QVERIFY(entry.load());
            QCOMPARE(entry.value(QStringLiteral("Desktop Entry"), QStringLiteral("Exec")),
                     m_world->env.path(QStringLiteral("brindle")));
            QCOMPARE(entry.value(QStringLiteral("Desktop Entry"), QStringLiteral("Hidden")),
                     on ? QStringLiteral("false") : QStringLiteral("true"));
            QCOMPARE(Autostart::IsOn(), on);
        }
    }

    void outOfRangeShowsTheNearestItem_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("freeze");
        QTest::newRow("below") << -1 << 0 << 0;
        QTest::newRow("inside") << 1 << 1 << 1;
        QTest::newRow("above") << 99 << 2 << 10;
    }

    void outOfRangeShowsTheNearestItem()
    {
        QFETCH(int, stored);
        QFETCH(int, style);
        QFETCH(int, freeze);
        modGlobals::SS.BackgroundStyle = stored;
        modGlobals::SS.ButtonFreezeSeconds = stored;
        const SettingsValues values = SettingsValues::Read();
        QCOMPARE(values.backgroundStyle, style);
        QCOMPARE(values.freezeSeconds, freeze);
    }

    // Play-time values that cannot be stored are named and logged.
    void storeFailureIsNamed()
    {
        const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
        QVERIFY(QDir().mkpath(store));
        QCOMPARE(SettingsValues().Store(), QStringList{QStringLiteral("play time (%1)").arg(store)});
        QCOMPARE(m_world->env.logLines().filter(QStringLiteral("Settings()::Play time not saved")).size(), 1);
    }

    // An empty store and settings.ini read as the defaults, and get none of
    // the day's keys from values that changed none.
    void emptyStore()
    {
        const SettingsValues read = SettingsValues::Read();
        const SettingsValues defaults;
        QCOMPARE(read.playTimeIndex, defaults.playTimeIndex);
        QCOMPARE(read.warnIndex, defaults.warnIndex);
        QCOMPARE(read.beep, defaults.beep);
        QCOMPARE(read.popupsAllowed, defaults.popupsAllowed);
        QVERIFY(read.Store().isEmpty());
        for (const char *key : {"DailyStart", "Countdown", "PlayTimeMon", "HoursSun"})
            QVERIFY2(CoreFixture::value(QStringLiteral("TimeLimit"), QLatin1String(key)).isNull(), key);
    }

    void aGapEndsTheLinks()
    {
        QVERIFY(writeFile(linksPath(), QByteArray(threeLinks).replace("NAME=School", "NAME=")));
        QCOMPARE(LinksFile::Load(linksPath()), QList<ChildLink>({{"Games", "http://games.example/"}}));
    }

    void schemeRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("none") << " kids.example/a " << "http://kids.example/a";
        QTest::newRow("http in capitals") << "HTTP://Kids.example" << "HTTP://Kids.example";
        QTest::newRow("https") << "https://kids.example" << "https://kids.example";
        QTest::newRow("other scheme") << "mailto:gran@example.org" << "mailto:gran@example.org";
        QTest::newRow("host and port") << "localhost:8080/x" << "http://localhost:8080/x";
    }

    void schemeRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(LinksFile::CompleteUrl(typed), stored);
    }

    void addAndEditLinks()
    {
        QVERIFY(writeFile(linksPath(), threeLinks));
        frmEditChildLinks editor(linksPath());
        whenUrlDialogShows([](frmEditURL &dialog) {
            Control<QLineEdit>(&dialog, "Text2")->setText(QStringLiteral("news.example"));
            Click(&dialog, "Command2"); // no name yet: stays
            QVERIFY(dialog.isVisible());
            Control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("News"));
            Click(&dialog, "Command2");
        });
        Click(&editor, "Command1");
        QCOMPARE(m_world->dialogs->shown().first().text, QStringLiteral("Please enter URL name!"));
        QCOMPARE(editor.Links().last(), ChildLink({"News", "http://news.example"}));
        QCOMPARE(list(editor)->currentItem(), list(editor)->topLevelItem(3));
        QVERIFY(editor.Changed());

        // Cancel and Esc in the URL dialog change nothing.
        const QList<ChildLink> before = editor.Links();
        for (bool escape : {false, true}) {
            whenUrlDialogShows([escape](frmEditURL &dialog) {
                Control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("Changed"));
                if (escape)
                    QTest::keyClick(Control<QLineEdit>(&dialog, "Text1"), Qt::Key_Escape);
                else
                    Click(&dialog, "Command1");
            });
            Click(&editor, "Command2");
            QCOMPARE(editor.Links(), before);
        }
    }

    // Removing the first link, then ending the editor; what is saved is
    // numbered again from LINK_000.
    void closingTheLinksEditor_data()
    {
        QTest::addColumn<QString>("how");      // "ok", "escape", or the answer to "Save changes?"
        QTest::addColumn<bool>("stays");
        QTest::addColumn<bool>("saved");
        QTest::newRow("OK saves") << "ok" << false << true;
        QTest::newRow("Esc never asks") << "escape" << false << false;
        QTest::newRow("close box, Cancel") << "Cancel" << true << false;
        QTest::newRow("close box, No") << "No" << false << false;
        QTest::newRow("close box, Yes") << "Yes" << false << true;
    }

    void closingTheLinksEditor()
    {
        QFETCH(QString, how);
        QFETCH(bool, stays);
        QFETCH(bool, saved);
        QVERIFY(writeFile(linksPath(), threeLinks));
        frmEditChildLinks editor(linksPath());
        editor.show();
        list(editor)->setCurrentItem(list(editor)->topLevelItem(0));
        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(&editor, "Command3");
        QCOMPARE(m_world->dialogs->shown().first().text, QStringLiteral("Remove item:Games ?"));
        const bool asks = how != QLatin1String("ok") && how != QLatin1String("escape");
        if (how == QLatin1String("ok")) {
            Click(&editor, "Command5");
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(list(editor), Qt::Key_Escape);
        } else {
            m_world->dialogs->answer(how);
            editor.close();
            QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Save changes?"));
        }
        QCOMPARE(m_world->dialogs->shown().size(), asks ? 2 : 1);
        QCOMPARE(editor.isVisible(), stays);
        const QList<ChildLink> all{
            {"Games", "http://games.example/"}, {"School", "https://school.example/"}, {"Zoo", "http://zoo.example/"}};
        QCOMPARE(LinksFile::Load(linksPath()), saved ? all.mid(1) : all);
        QCOMPARE(editor.Saved(), saved);
    }

private:
    QString linksPath() const { return m_world->env.path(QStringLiteral("wicket/links.ini")); }
    static QTreeWidget *list(const frmEditChildLinks &editor) { return Control<QTreeWidget>(&editor, "ListView1"); }

    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestSettingsDialog)
#include "TestSettingsDialog.moc"
