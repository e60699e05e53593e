#include "DemoMenu.h"

#include "data/SettingsFile.h"

#include <QStandardPaths>

namespace DemoMenu {
namespace {

constexpr qint32 rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

struct Entry {
    const char *caption;
    const char *picture;
    const char *program; // looked up where it is installed; empty for a keyword
    const char *keyword;
    const char *parameters;
    qint32 backColor;
};

// Programs a Debian desktop gets from the README's setup, and the task list.
// Tux Paint would refuse to start again within 30 seconds of its last start;
// the menu's own freeze and one-instance rule already keep eager clicks off.
const Entry kEntries[] = {
    {"Paint", "paint", "tuxpaint", "", "--nolockfile", rgb(0xff, 0xf3, 0xc4)},
    {"Breakout", "breakout", "lbreakout2", "", "", rgb(0xff, 0xdd, 0xd2)},
    {"Catch the bugs", "bug", "xbill", "", "", rgb(0xdc, 0xed, 0xc8)},
    {"Calculator", "calculator", "xcalc", "", "", rgb(0xd6, 0xea, 0xf8)},
    {"Clock", "clock", "xclock", "", "", rgb(0xe8, 0xe0, 0xf4)},
    {"My programs", "windows", "", "applications", "", rgb(0xff, 0xe8, 0xcc)},
};

// Where the program is installed: on PATH, or in the games folders that Debian
// puts on a user's PATH but not on root's, who may run the build. A program
// that is missing gets the usual place, and its button says it cannot be found.
QString programPath(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/local/games"), QStringLiteral("/usr/games")});
    return path.isEmpty() ? QStringLiteral("/usr/bin/") + name : path;
}

// Three columns centred on a 1280 pixel wide screen; the captions need the
// room beside the 128 pixel pictures.
constexpr int kColumns = 3;
constexpr int kWidth = 360;
constexpr int kHeight = 190;
constexpr int kGap = 40;
constexpr int kLeft = (1280 - kColumns * kWidth - (kColumns - 1) * kGap) / 2;
constexpr int kTop = 150;

BUTTON makeButton(const Entry &entry, int index)
{
    BUTTON b;
    b.Caption = QString::fromLatin1(entry.caption);
    b.TextAlignment = 1;    // centre
    b.PictureAlignment = 0; // picture left of the text
    b.BackColor = entry.backColor;
    b.ForeColor = rgb(0x26, 0x32, 0x38);
    b.FontName = QStringLiteral("DejaVu Sans");
    b.FontBold = VbTrue;
    b.FontSize = 16;
    b.PicturePath = QStringLiteral(".\\demo\\") + QString::fromLatin1(entry.picture) + QStringLiteral(".bmp");
    b.Width = kWidth;
    b.Height = kHeight;
    b.Left = kLeft + (index % kColumns) * (kWidth + kGap);
    b.Top = kTop + (index / kColumns) * (kHeight + kGap);
    b.Enabled = VbTrue;
    b.Link = *entry.program ? programPath(QString::fromLatin1(entry.program)) : QString::fromLatin1(entry.keyword);
    b.Parameters = QString::fromLatin1(entry.parameters);
    b.InUse = 1;
    b.OneInstance = VbTrue;
    b.ColorDepth = 32;
    b.Bevel = VbTrue;
    b.ExtraCount = 5;
    b.ExtraStrings.redim(5);
    b.ExtraStrings.at(0) = QStringLiteral("0"); // not locked
    b.ExtraStrings.at(1) = QStringLiteral("1"); // mouse-over effects on
    b.ExtraStrings.at(2) = QStringLiteral("0"); // over: soft raised edge
    b.ExtraStrings.at(3) = QStringLiteral("1"); // out: flat edge
    b.ExtraStrings.at(4) = QStringLiteral("0"); // click: soft sunken edge
    return b;
}

} // namespace

SettingsRecord Settings()
{
    SettingsRecord s;
    SettingsFile::MakeClearState(s);
    const int count = int(std::size(kEntries));
    s.Buttons.redim(count - 1);
    for (int i = 0; i < count; ++i)
        s.Buttons.at(i) = makeButton(kEntries[i], i);
    s.ButtonsMax = count - 1;
    s.FontName = QStringLiteral("DejaVu Sans");
    s.FontSize = 18;
    s.FontBold = VbTrue;
    s.BackgroundStyle = 1;
    s.Gradient1Color = rgb(0x4f, 0xc3, 0xf7);
    s.Gradient2Color = rgb(0xc5, 0xe1, 0xa5);
    s.GradientAngle = 270; // sky blue at the top, fading to green below
    s.ResponseTimeout = 10;
    s.AskToCloseRunning = VbTrue;
    s.ButtonFreezeSeconds = 2;
    s.SoundsEnabled = VbTrue;
    return s;
}

QList<Picture> Pictures()
{
    QList<Picture> pictures;
    for (const Entry &entry : kEntries)
        pictures.append({QString::fromLatin1(entry.picture), QString::fromLatin1(entry.picture) + QStringLiteral(".bmp"),
                         entry.backColor});
    return pictures;
}

QList<SpecialKey> SpecialKeys()
{
    // The keys of multimedia keyboards that would open other programs.
    QList<SpecialKey> keys;
    for (int vk : {92, 93, 95, 166, 167, 169, 170, 171, 172, 180, 182, 183})
        keys.append({vk, modKeys::KeyDisplayName(vk)});
    return keys;
}

} // namespace DemoMenu
