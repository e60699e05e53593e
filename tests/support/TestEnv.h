#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// File helpers of the tests. readFile gives "<missing>" for a file it cannot
// read, so that a missing file never passes for an empty one; readLines drops
// empty lines.
bool writeFile(const QString &path, const QByteArray &content, bool executable = false);
QByteArray readFile(const QString &path);
QStringList readLines(const QString &path);

// A private world for one test: its own program folder (with backup/ and
// data/), its own settings store ($XDG_CONFIG_HOME), runtime folder (single
// instance locks) and TCP port ($BRINDLE_PORT). The environment variables are
// set for the test process and everything it starts.
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();

    bool isValid() const { return m_root.isValid(); }
    QString programFolder() const { return m_root.path() + QStringLiteral("/app/"); }
    QString configHome() const { return m_root.path() + QStringLiteral("/config"); }
    int port() const { return m_port; }

    // A file below the program folder.
    QString path(const QString &relative) const { return programFolder() + relative; }
    // The lines of startup.log, without their time stamps.
    QStringList logLines() const;

    // The folder that the build wrote the real program folder to.
    static QString builtProgramFolder();
    static QString sourceFolder();

private:
    QTemporaryDir m_root;
    int m_port = 0;
    QByteArray m_oldConfig, m_oldRuntime, m_oldPort;
};
