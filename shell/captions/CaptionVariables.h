#pragma once

#include <QString>

#include <array>

class MenuControls;
class SystemSource;

// The caption variables of the menu buttons: "%time%", "%playtime%", disk
// space, memory and processor load, names, the address and text files are
// replaced by their live values. Drive figures are cached for 20 seconds, and
// only drives that some caption names are asked for. A value that cannot be
// read shows as nothing.
class CaptionVariables
{
public:
    explicit CaptionVariables(SystemSource &system);

    // One CaptionParser tick: reads the processor load, then shows every
    // button whose stored caption holds a variable with the values put in.
    // Only the controls' captions change, never the records.
    void ParseCaptions(MenuControls &buttons, bool clockPaused);

    // The first half of a tick: the processor load is read, and while the
    // play clock is paused "%playtime%" switches between the time and "PAUSED".
    void NextTick(bool clockPaused);
    // The processor load of the last tick, -1 when unknown.
    qint32 ProcessorLoad() const { return m_processorLoad; }

    QString ParseVariables(const QString &text);

    // The argument of the first disk variable that begins with opening
    // ("%freespace(" ...): the text up to the next ")"; empty when there is none.
    static QString GetDriveFromVariable(const QString &text, const QString &opening);
    // Bytes of a drive ("C", "c:" ...); -1 when there is no such drive.
    double GetFreeDiskSpaceX(const QString &drive);
    double GetUsedDiskSpaceX(const QString &drive);
    double GetTotalDiskSpaceX(const QString &drive);

    // First letter of every word upper case, the rest lower case.
    static QString ProperCase(const QString &text);

    // Text files that name text files are followed this deep.
    static constexpr int MaxTextFileDepth = 8;

private:
    struct DriveEntry {
        bool filled = false;
        bool present = false;
        double freeSpace = 0;
        double size = 0;
    };

    QString parse(const QString &text, int depth);
    QString textFile(const QString &name, int depth);
    void replaceDrive(QString &text, const QString &opening);
    const DriveEntry *DriveInfoCache(const QString &drive);
    void fillCache(double now);
    void fetch(int slot);

    SystemSource &m_system;
    qint32 m_processorLoad = -1;
    bool m_clockPaused = false;
    bool m_blink = false;
    std::array<DriveEntry, 26> m_drives{};
    bool m_cacheFilled = false;
    double m_lastFill = 0; // seconds since midnight
};
