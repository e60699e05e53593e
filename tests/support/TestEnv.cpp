#include "TestEnv.h"

#include <QDir>
#include <QTcpServer>

namespace {

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

bool writeFile(const QString &path, const QByteArray &content, bool executable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TestEnv::TestEnv()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_oldRuntime(qgetenv("XDG_RUNTIME_DIR"))
    , m_oldPort(qgetenv("BRINDLE_PORT"))
{
    QDir root(m_root.path());
    root.mkpath(QStringLiteral("app/backup"));
    root.mkpath(QStringLiteral("app/data"));
    root.mkpath(QStringLiteral("config"));
    root.mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_port = freePort();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath(QStringLiteral("runtime"))));
    qputenv("BRINDLE_PORT", QByteArray::number(m_port));
}

TestEnv::~TestEnv()
{
    auto restore = [](const char *name, const QByteArray &value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    restore("XDG_CONFIG_HOME", m_oldConfig);
    restore("XDG_RUNTIME_DIR", m_oldRuntime);
    restore("BRINDLE_PORT", m_oldPort);
}

QStringList TestEnv::logLines() const
{
    QStringList lines;
    // "06-Dec-26 18:54:22 text": the stamp ends at the second blank.
    const QString log = QString::fromLocal8Bit(readFile(path(QStringLiteral("startup.log"))));
    for (const QString &line : log.split(QStringLiteral("\r\n")))
        if (line.count(QLatin1Char(' ')) >= 2)
            lines << line.section(QLatin1Char(' '), 2);
    return lines;
}

QString TestEnv::builtProgramFolder()
{
    return QString::fromLocal8Bit(qgetenv("BRINDLE_APP_BUILD")) + QLatin1Char('/');
}

QString TestEnv::sourceFolder()
{
    return QString::fromLocal8Bit(qgetenv("BRINDLE_SOURCE")) + QLatin1Char('/');
}
