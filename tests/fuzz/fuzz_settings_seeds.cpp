// Writes the fuzzer's seed files into the folder given as argument.
#include "data/SettingsFile.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool save(const QString &folder, const char *name, const SettingsRecord &record)
{
    QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::WriteOnly) && file.write(SettingsFile::Write(record)) >= 0;
}

SettingsRecord rich()
{
    SettingsRecord s;
    SettingsFile::MakeClearState(s);
    s.ShellCommands.items[0] = QStringLiteral("/usr/bin/xeyes");
    s.Password = QStringLiteral("Größe – €");
    // Texts and lists shape the reading; the fixed-size fields do not.
    BUTTON b;
    b.Caption = QStringLiteral("Paint");
    b.Link = QStringLiteral("/usr/bin/kolourpaint");
    b.ExtraStrings.redim(5);
    b.ExtraStrings.items[0] = QStringLiteral("1");
    s.Buttons.items = {b, b};
    s.Buttons.lowerBound = 1;
    s.ButtonsMax = 2;
    s.Presets.items = {b};
    s.PresetsMax = 0;
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    SettingsRecord clear;
    SettingsFile::MakeClearState(clear);
    const bool ok = save(folder, "clear.dat", clear) && save(folder, "rich.dat", rich())
        && save(folder, "empty-record.dat", SettingsRecord());
    return ok ? 0 : 1;
}
