#include "CaptionVariables.h"

#include "SystemSource.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "base/MenuControls.h"

#include <Clock.h>
#include <Cp1252.h>
#include <FormatSeconds.h>
#include <clsSysInfo.h>

#include <QDir>
#include <QFile>
#include <QLocale>

using modGlobals::SS;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString FreeSpace = QStringLiteral("%freespace(");
const QString UsedSpace = QStringLiteral("%usedspace(");
const QString TotalSpace = QStringLiteral("%totalspace(");
const QString TextFile = QStringLiteral("%textfile:");

// A caption shows a few lines; a large file must not stall the menu.
constexpr qint64 MaxTextFileBytes = 64 * 1024;

QString known(qint64 value)
{
    return value < 0 ? QString() : QString::number(value);
}

// The cache slot of a drive argument: its first letter, A to Z in any case.
int driveSlot(const QString &drive)
{
    const QChar letter = drive.isEmpty() ? QChar() : drive.at(0).toUpper();
    return letter >= QLatin1Char('A') && letter <= QLatin1Char('Z') ? letter.unicode() - 'A' : -1;
}

} // namespace

CaptionVariables::CaptionVariables(SystemSource &system)
    : m_system(system)
{
}

void CaptionVariables::ParseCaptions(MenuControls &buttons, bool clockPaused)
{
    NextTick(clockPaused);
    for (int i = 0; i <= buttons.UBound() && i <= SS.ButtonsMax && SS.Buttons.has(i); ++i) {
        const QString &stored = SS.Buttons.at(i).Caption;
        if (!stored.contains(QLatin1Char('%')) || !buttons.IsShown(i))
            continue;
        // Path variables stay expanded as the button showed them before.
        const QString shown = modUtil::ExpandPathVars(ParseVariables(stored));
        if (buttons.Caption(i) != shown)
            buttons.SetCaption(i, shown);
    }
}

void CaptionVariables::NextTick(bool clockPaused)
{
    m_processorLoad = m_system.ProcessorLoad();
    // One switch a tick, so that every paused caption blinks in step.
    m_blink = clockPaused && !m_blink;
    m_clockPaused = clockPaused;
}

QString CaptionVariables::ProperCase(const QString &text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (QChar &c : result) {
        if (wordStart && c.isLetter())
            c = c.toUpper();
        wordStart = !c.isLetterOrNumber();
    }
    return result;
}

QString CaptionVariables::ParseVariables(const QString &text)
{
    return parse(text, 0);
}

QString CaptionVariables::parse(const QString &text, int depth)
{
    QString t = text;
    const auto has = [&t](QLatin1StringView variable) { return t.contains(variable, Qt::CaseInsensitive); };
    const auto put = [&t](QLatin1StringView variable, const QString &value) {
        t.replace(variable, value, Qt::CaseInsensitive);
    };
    if (has("%memusage%"_L1))
        put("%memusage%"_L1, known(m_system.MemoryLoad()));
    if (has("%cpuusage%"_L1))
        put("%cpuusage%"_L1, known(m_processorLoad));
    for (const QString &opening : {FreeSpace, UsedSpace, TotalSpace})
        replaceDrive(t, opening);
    if (has("%username%"_L1))
        put("%username%"_L1, m_system.UserName());
    if (has("%computername%"_L1))
        put("%computername%"_L1, m_system.ComputerName());
    if (has("%ipaddress%"_L1))
        put("%ipaddress%"_L1, m_system.IPAddress());

    const QDateTime now = Clock::now();
    const QDate date = now.date();
    const QLocale locale;
    if (has("%date%"_L1))
        put("%date%"_L1, locale.toString(date, QLocale::ShortFormat));
    if (has("%time%"_L1))
        put("%time%"_L1, now.time().toString(QStringLiteral("HH:mm:ss")));
    if (has("%day%"_L1))
        put("%day%"_L1, date.toString(QStringLiteral("dd")));
    if (has("%month%"_L1))
        put("%month%"_L1, date.toString(QStringLiteral("MM")));
    if (has("%year%"_L1))
        put("%year%"_L1, date.toString(QStringLiteral("yyyy")));
    if (has("%dayname%"_L1))
        put("%dayname%"_L1, ProperCase(locale.dayName(date.dayOfWeek())));
    if (has("%monthname%"_L1))
        put("%monthname%"_L1, ProperCase(locale.monthName(date.month())));
    if (has("%playtime%"_L1))
        put("%playtime%"_L1, m_clockPaused && m_blink ? QStringLiteral("PAUSED")
                                                      : FormatSeconds(double(modGlobals::TimeLeftSeconds)));

    const qsizetype at = t.indexOf(TextFile, 0, Qt::CaseInsensitive);
    if (at < 0)
        return t;
    const qsizetype start = at + TextFile.size();
    const qsizetype end = t.indexOf(QLatin1Char('%'), start);
    return textFile(end < 0 ? QString() : t.mid(start, end - start), depth);
}

// The whole caption becomes the file's text, itself parsed again.
QString CaptionVariables::textFile(const QString &name, int depth)
{
    if (!name.toLower().endsWith(QLatin1String(".txt")))
        return QStringLiteral("#ILLEGAL FILE TYPE#");
    // A bare name lives in the program folder, whatever folder the last
    // started program left current.
    QString path = modUtil::LocalPath(name);
    if (QDir::isRelativePath(path))
        path = modGlobals::AppPath() + path;
    if (!modGlobals::FileExists(path))
        return QStringLiteral("#FILE NOT FOUND#");
    if (depth >= MaxTextFileDepth)
        return QStringLiteral("#TOO DEEP#");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString content = Cp1252::decode(file.read(MaxTextFileBytes));
    if (content.endsWith(QLatin1String("\r\n")))
        content.chop(2);
    else if (content.endsWith(QLatin1Char('\n')))
        content.chop(1);
    return modUtil::ExpandPathVars(parse(content, depth + 1));
}

QString CaptionVariables::GetDriveFromVariable(const QString &text, const QString &opening)
{
    const qsizetype at = text.indexOf(opening, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    const qsizetype start = at + opening.size();
    const qsizetype close = text.indexOf(QLatin1Char(')'), start);
    return close < 0 ? QString() : text.mid(start, close - start);
}

// Only the first occurrence names the drive; every copy of that exact
// variable is replaced.
void CaptionVariables::replaceDrive(QString &text, const QString &opening)
{
    const QString drive = GetDriveFromVariable(text, opening);
    if (drive.isEmpty())
        return;
    const double bytes = opening == FreeSpace ? GetFreeDiskSpaceX(drive)
        : opening == UsedSpace              ? GetUsedDiskSpaceX(drive)
                                            : GetTotalDiskSpaceX(drive);
    text.replace(opening + drive + QLatin1String(")%"), bytes < 0 ? QString() : clsSysInfo::FormatBytes(bytes),
                 Qt::CaseInsensitive);
}

double CaptionVariables::GetFreeDiskSpaceX(const QString &drive)
{
    const DriveEntry *entry = DriveInfoCache(drive + QLatin1Char(':'));
    return entry && entry->present ? entry->freeSpace : -1;
}

double CaptionVariables::GetUsedDiskSpaceX(const QString &drive)
{
    const DriveEntry *entry = DriveInfoCache(drive + QLatin1Char(':'));
    return entry && entry->present ? entry->size - entry->freeSpace : -1;
}

double CaptionVariables::GetTotalDiskSpaceX(const QString &drive)
{
    const DriveEntry *entry = DriveInfoCache(drive + QLatin1Char(':'));
    return entry && entry->present ? entry->size : -1;
}

const CaptionVariables::DriveEntry *CaptionVariables::DriveInfoCache(const QString &drive)
{
    const int slot = driveSlot(drive);
    if (slot < 0)
        return nullptr;
    const double now = Clock::secondsSinceMidnight();
    if (!m_cacheFilled || now - m_lastFill > 20 || now < m_lastFill)
        fillCache(now);
    // A drive that only a text file names is asked for when first needed.
    if (!m_drives[slot].filled)
        fetch(slot);
    return &m_drives[slot];
}

// Asks for every drive that a stored caption names, and for no other.
void CaptionVariables::fillCache(double now)
{
    m_drives.fill(DriveEntry());
    for (int i = 0; i <= SS.ButtonsMax && SS.Buttons.has(i); ++i) {
        const QString &caption = SS.Buttons.at(i).Caption;
        for (const QString &opening : {FreeSpace, UsedSpace, TotalSpace}) {
            for (qsizetype at = caption.indexOf(opening, 0, Qt::CaseInsensitive); at >= 0;
                 at = caption.indexOf(opening, at + 1, Qt::CaseInsensitive)) {
                const int slot = driveSlot(caption.mid(at + opening.size(), 1));
                if (slot >= 0 && !m_drives[slot].filled)
                    fetch(slot);
            }
        }
    }
    m_cacheFilled = true;
    m_lastFill = now;
}

void CaptionVariables::fetch(int slot)
{
    const SystemSource::Drive drive = m_system.DriveInfo(QChar(u'A' + slot));
    m_drives[slot] = {true, drive.present, drive.freeSpace, drive.size};
}
