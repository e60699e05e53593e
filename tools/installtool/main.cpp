// Writes what scripts/install sets for the parent, with the suite's own file
// code: the password into settings.dat and its key into parent.ini, the
// install's play-time limit into parent.ini, and a limit into a settings
// store passed through (so that root never opens a file in the child's home).
// Passwords come on standard input, never on the command line.
//   brindle_installtool check-password              < password
//   brindle_installtool password FOLDER             < password (empty: none)
//   brindle_installtool limit FOLDER [MINUTES]     (without: only what is missing)
//   brindle_installtool store MINUTES               < store > store
#include "data/ParentFile.h"
#include "data/SettingsFile.h"

#include <Cp1252.h>
#include <IniFile.h>
#include <PasswordKey.h>
#include <SystemPlugins.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <optional>

namespace {

constexpr int MaxPasswordLength = 64;
constexpr int MaxMinutes = 280; // the longest limit the settings dialog offers
constexpr qint64 MaxStoreBytes = 1024 * 1024;

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

QByteArray readInput(qint64 limit)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.read(limit);
}

// The first line of standard input, without its line end.
QString readPassword()
{
    QByteArray line = readInput(4096);
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// Why a password cannot be used; empty when it can.
QString passwordProblem(const QString &password)
{
    if (password.size() > MaxPasswordLength)
        return QStringLiteral("The password is too long: at most %1 characters.").arg(MaxPasswordLength);
    for (const QChar c : password)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("The password may not hold control characters.");
    // settings.dat keeps it in Windows-1252.
    if (Cp1252::decode(Cp1252::encode(password)) != password)
        return QStringLiteral("The password may only use letters, digits and signs of Western European "
                              "languages (Windows-1252).");
    return {};
}

bool readMinutes(const QString &text, int *steps)
{
    bool number = false;
    const int minutes = text.toInt(&number);
    if (!number || minutes < 0 || minutes > MaxMinutes)
        return false;
    *steps = (minutes + 4) / 5; // whole five-minute steps, rounded up
    return true;
}

int setPassword(const QString &folder, const QString &password)
{
    if (const QString problem = passwordProblem(password); !problem.isEmpty())
        return fail(problem);
    const QString settingsPath = folder + QStringLiteral("/settings.dat");
    SettingsRecord record;
    bool missingOrEmpty = false;
    if (auto error = SettingsFile::LoadFile(settingsPath, record, &missingOrEmpty))
        return fail(QStringLiteral("%1 cannot be read (%2): the password was not changed.")
                        .arg(settingsPath, error->Description));
    if (missingOrEmpty)
        SettingsFile::MakeClearState(record);
    record.Password = password;

    const QString parentPath = folder + QStringLiteral("/parent.ini");
    ParentFile parent = ParentFile::Load(parentPath);
    parent.password = password.isEmpty() ? PasswordKey() : PasswordKey::make(password);
    if (!password.isEmpty() && parent.password.isNull())
        return fail(QStringLiteral("The password key could not be made."));
    QString why;
    if (!parent.Save(parentPath, &why))
        return fail(QStringLiteral("Cannot write %1: %2").arg(parentPath, why));
    if (auto error = SettingsFile::SaveFile(settingsPath, record))
        return fail(QStringLiteral("Cannot write %1: %2").arg(settingsPath, error->Description));
    return 0;
}

// The install's play-time values, written out whole so that the settings
// dialog shows what the clock does when the child's store is gone.
int setLimit(const QString &folder, std::optional<int> steps)
{
    const QString parentPath = folder + QStringLiteral("/parent.ini");
    ParentFile parent = ParentFile::Load(parentPath);
    if (steps)
        parent.timeLimit.insert(QStringLiteral("PlayTime"), QString::number(*steps));
    const QList<QPair<QString, QString>> defaults{{QStringLiteral("PlayTime"), QStringLiteral("0")},
                                                  {QStringLiteral("WarnTime"), QStringLiteral("9")},
                                                  {QStringLiteral("Beep"), QStringLiteral("1")},
                                                  {QStringLiteral("Shutdown"), QStringLiteral("-1")}};
    for (const auto &[key, value] : defaults)
        if (!parent.timeLimit.contains(key))
            parent.timeLimit.insert(key, value);
    QString why;
    if (!parent.Save(parentPath, &why))
        return fail(QStringLiteral("Cannot write %1: %2").arg(parentPath, why));
    return 0;
}

// The whole limit is left, so that the first start does not begin expired.
int limitStore(int steps)
{
    IniFile store(QString(), IniFile::Encoding::Utf8);
    store.parse(readInput(MaxStoreBytes));
    const QString section = QStringLiteral("TimeLimit");
    store.setValue(section, QStringLiteral("PlayTime"), QString::number(steps));
    store.setValue(section, QStringLiteral("TimeLeft"), QString::number(steps * 5 * 60));
    const QByteArray bytes = store.serialize();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    SystemPlugins::Restrict();
    QCoreApplication app(argc, argv);
    SystemPlugins::Confirm();
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    int steps = 0;
    if (command == QLatin1String("check-password") && args.size() == 1) {
        const QString problem = passwordProblem(readPassword());
        return problem.isEmpty() ? 0 : fail(problem);
    }
    if (command == QLatin1String("password") && args.size() == 2)
        return setPassword(args.at(1), readPassword());
    if (command == QLatin1String("limit") && args.size() == 2)
        return setLimit(args.at(1), std::nullopt);
    if (command == QLatin1String("limit") && args.size() == 3)
        return readMinutes(args.at(2), &steps) ? setLimit(args.at(1), steps)
                                               : fail(QStringLiteral("The limit is 0 to %1 minutes.").arg(MaxMinutes));
    if (command == QLatin1String("store") && args.size() == 2)
        return readMinutes(args.at(1), &steps) ? limitStore(steps)
                                               : fail(QStringLiteral("The limit is 0 to %1 minutes.").arg(MaxMinutes));
    return fail(QStringLiteral("usage: brindle_installtool check-password | password FOLDER | limit FOLDER [MINUTES] | "
                               "store MINUTES"));
}
