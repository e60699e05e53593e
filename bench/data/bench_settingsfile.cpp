// Load and save of a settings.dat with 1,000 buttons and 100 presets: parse
// from bytes, write to bytes, and both through the file. Prints the median and
// the slowest of the runs; exits 1 when a median misses the 20 ms target.
#include "data/SettingsFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 31;
constexpr double TargetMs = 20.0;

BUTTON button(int i)
{
    BUTTON b;
    b.Caption = QStringLiteral("Program number %1 – Größe").arg(i);
    b.TextAlignment = 1;
    b.BackColor = 0x00C0C0C0 + i;
    b.ForeColor = 0;
    b.FontName = QStringLiteral("Tahoma");
    b.FontBold = VbTrue;
    b.FontSize = 12;
    b.PicturePath = QStringLiteral("%apppath%\\pictures\\program%1.png").arg(i);
    b.Width = 160;
    b.Height = 120;
    b.Left = (i % 10) * 170;
    b.Top = (i / 10) * 130;
    b.Enabled = VbTrue;
    b.Link = QStringLiteral("/usr/games/program%1").arg(i);
    b.Parameters = QStringLiteral("--fullscreen --level %1").arg(i % 7);
    b.InUse = 1;
    b.StyleName = QStringLiteral("style %1").arg(i % 5);
    b.ColorDepth = 32;
    b.ExtraCount = 5;
    b.ExtraStrings.redim(5);
    b.ExtraStrings.items = {"0", "1", "2", "3", "4", ""};
    return b;
}

SettingsRecord largeRecord()
{
    SettingsRecord s;
    SettingsFile::MakeClearState(s);
    s.Buttons.redim(999);
    for (int i = 0; i < 1000; ++i)
        s.Buttons.items[i] = button(i);
    s.ButtonsMax = 999;
    s.Presets.redim(99);
    for (int i = 0; i < 100; ++i)
        s.Presets.items[i] = button(i);
    s.PresetsMax = 99;
    return s;
}

struct Result {
    double median;
    double worst;
};

Result measure(const std::function<bool()> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!step()) {
            std::fprintf(stderr, "step failed\n");
            std::exit(2);
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main()
{
    const SettingsRecord record = largeRecord();
    const QByteArray bytes = SettingsFile::Write(record);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.dat"));

    struct Case {
        const char *name;
        std::function<bool()> step;
    };
    const Case cases[] = {
        {"parse from bytes", [&] { SettingsRecord r; return !SettingsFile::Read(bytes, r) && r.ButtonsMax == 999; }},
        {"write to bytes", [&] { return SettingsFile::Write(record).size() == bytes.size(); }},
        {"load file (LoadFile)", [&] { SettingsRecord r; return !SettingsFile::LoadFile(path, r) && r.PresetsMax == 99; }},
        {"save file (SaveFile)", [&] { return !SettingsFile::SaveFile(path, record); }},
    };

    SettingsRecord check;
    if (SettingsFile::SaveFile(path, record) || SettingsFile::LoadFile(path, check) || !(check == record))
        return 2;
    std::printf("settings.dat with 1000 buttons and 100 presets: %lld bytes, %d runs each\n",
                static_cast<long long>(bytes.size()), Runs);
    bool ok = true;
    for (const Case &c : cases) {
        const Result r = measure(c.step);
        const bool met = r.median < TargetMs;
        ok = ok && met;
        std::printf("%-22s median %7.3f ms  slowest %7.3f ms  %s\n", c.name, r.median, r.worst,
                    met ? "ok" : "OVER 20 ms");
    }
    return ok ? 0 : 1;
}
