#include "TestEnv.h"

#include "base/modGlobals.h"
#include "base/modUtil.h"

#include <QDir>
#include <QtTest>

class TestPathVars : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        modGlobals::SetAppPath(m_env->programFolder());
        // The user's own folder names, as the desktop keeps them.
        const QString home = m_env->path(QStringLiteral("home"));
        QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/data")));
        QVERIFY(writeFile(m_env->configHome() + QStringLiteral("/user-dirs.dirs"),
                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
    }

    void cleanup() { m_env.reset(); }

    void expand_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected"); // "@" stands for the program folder, "~" for home

        QTest::newRow("shell folder prefix") << ".\\demo\\a.bmp" << "@demo\\a.bmp";
        QTest::newRow("after a blank") << "-f .\\a.txt -g ./b" << "-f @a.txt -g @b";
        QTest::newRow("parent folder is no prefix") << "..\\up\\x" << "..\\up\\x";
        QTest::newRow("windows folder") << "%WinDir%\\notepad.exe" << "/usr/\\notepad.exe";
        QTest::newRow("system folder") << "%SYSDIR%xcalc" << "/usr/bin/xcalc";
        QTest::newRow("every occurrence") << "%AppPath%a;%apppath%b" << "@a;@b";
        QTest::newRow("documents") << "%documents%story.txt" << "~/Dokumente/story.txt";
        QTest::newRow("programs") << "%programs%game.desktop" << "~/data/applications/game.desktop";
        QTest::newRow("child browser") << "%childbrowser%" << "@wicket/wicket";
        QTest::newRow("unknown variable stays") << "%nothing%x" << "%nothing%x";
    }

    void expand()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        expected.replace(QLatin1Char('@'), modGlobals::AppPath());
        expected.replace(QLatin1Char('~'), QString::fromLocal8Bit(qgetenv("HOME")));
        QCOMPARE(modUtil::ExpandPathVars(stored), expected);
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

QTEST_GUILESS_MAIN(TestPathVars)
#include "TestPathVars.moc"
