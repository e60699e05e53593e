#include "data/SettingsFile.h"

#include "AtomicFile.h"
#include "Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

constexpr qsizetype MaxTextBytes = 0xFFFF;

// Every field of a BUTTON in file order. One list for reading and writing, so
// the two cannot drift apart.
template<typename Io, typename Button>
bool visitButton(Io &io, Button &b)
{
    return io(b.Caption) && io(b.TextAlignment) && io(b.PictureAlignment) && io(b.BackColor)
        && io(b.ForeColor) && io(b.FontName) && io(b.FontBold) && io(b.FontItalic)
        && io(b.FontSize) && io(b.PicturePath) && io(b.Width) && io(b.Height) && io(b.Left)
        && io(b.Top) && io(b.Enabled) && io(b.Link) && io(b.Parameters) && io(b.Password)
        && io(b.InUse) && io(b.OneInstance) && io(b.StyleName) && io(b.UseShellExecute)
        && io(b.SetResolution) && io(b.ScreenWidth) && io(b.ScreenHeight) && io(b.RefreshRate)
        && io(b.ColorDepth) && io(b.Selected) && io(b.Transparent) && io(b.Bevel)
        && io(b.NoGray) && io(b.PictureSize) && io(b.StartTime) && io(b.ExtraCount)
        && io(b.ExtraStrings);
}

// Every field of the record in file order.
template<typename Io, typename Record>
bool visitRecord(Io &io, Record &s)
{
    return io(s.ShellCommandsMax) && io(s.ShellCommands) && io(s.ResponseTimeout)
        && io(s.SnapToGrid) && io(s.Password) && io(s.ScreenBackColor) && io(s.Reserved1)
        && io(s.Buttons) && io(s.ButtonsMax) && io(s.FontName) && io(s.FontSize)
        && io(s.FontItalic) && io(s.FontBold) && io(s.ScreenTextColor) && io(s.CustomColors)
        && io(s.Gradient1Color) && io(s.Gradient2Color) && io(s.GradientAngle)
        && io(s.LastPictureFolder) && io(s.LastFileFolder) && io(s.BackgroundPicture)
        && io(s.BackgroundStyle) && io(s.PictureStretch) && io(s.PictureKeepAspect)
        && io(s.GradientBehindPicture) && io(s.OneProcessOnly) && io(s.AskToCloseRunning)
        && io(s.ShowStatusBar) && io(s.ShowSystemInfoBar) && io(s.ShowActiveApps)
        && io(s.StatusBackColor) && io(s.StatusTextColor) && io(s.Presets) && io(s.PresetsMax)
        && io(s.AskCloseSound) && io(s.CloseFirstSound) && io(s.BeepIfNoSound)
        && io(s.SoundsEnabled) && io(s.WelcomeSound) && io(s.ExitSound) && io(s.Reserved2)
        && io(s.ButtonFreezeSeconds) && io(s.GridSize) && io(s.StatsSortKey)
        && io(s.StatsSortOrder) && io(s.Reserved3) && io(s.Reserved4);
}

class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : m_data(bytes.constData())
        , m_size(bytes.size())
    {
    }

    std::optional<VbError> error;
    qsizetype position() const { return m_pos; }

    bool operator()(quint8 &v) { return raw(&v, 1); }
    bool operator()(qint16 &v)
    {
        uchar b[2];
        if (!raw(b, 2))
            return false;
        v = qFromLittleEndian<qint16>(b);
        return true;
    }
    bool operator()(qint32 &v)
    {
        uchar b[4];
        if (!raw(b, 4))
            return false;
        v = qFromLittleEndian<qint32>(b);
        return true;
    }
    bool operator()(float &v)
    {
        uchar b[4];
        if (!raw(b, 4))
            return false;
        const quint32 bits = qFromLittleEndian<quint32>(b);
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool operator()(std::array<qint32, 17> &v)
    {
        for (qint32 &x : v)
            if (!(*this)(x))
                return false;
        return true;
    }
    bool operator()(QString &v)
    {
        qint16 len = 0;
        if (!(*this)(len))
            return false;
        const qsizetype n = quint16(len);
        if (n > remaining())
            return pastEnd();
        v = Cp1252::decode(m_data + m_pos, n);
        m_pos += n;
        return true;
    }
    // No sane menu comes near these counts; they keep what a file of a few
    // megabytes can make the shell hold to a few megabytes as well.
    bool operator()(VbList<QString> &list) { return readList(list, 2, 100000); }
    bool operator()(VbList<BUTTON> &list) { return readList(list, SettingsFile::MinButtonBytes, 10000); }

    bool element(QString &v) { return (*this)(v); }
    bool element(BUTTON &v) { return visitButton(*this, v); }

private:
    qsizetype remaining() const { return m_size - m_pos; }

    bool raw(void *dst, qsizetype n)
    {
        if (n > remaining())
            return pastEnd();
        std::memcpy(dst, m_data + m_pos, size_t(n));
        m_pos += n;
        return true;
    }

    bool pastEnd()
    {
        error = VbError(VbErr::InputPastEndOfFile, QStringLiteral("Input past end of file"));
        return false;
    }

    bool badHeader()
    {
        error = VbError(VbErr::BadRecordLength, QStringLiteral("Bad record length"));
        return false;
    }

    bool tooMany()
    {
        error = VbError(VbErr::OutOfMemory, QStringLiteral("Out of memory"));
        return false;
    }

    template<typename T>
    bool readList(VbList<T> &list, qsizetype minElementBytes, qint64 maxCount)
    {
        qint16 dims = 0;
        if (!(*this)(dims))
            return false;
        if (dims == 0) {
            list = VbList<T>();
            return true;
        }
        if (dims != 1)
            return badHeader();
        qint32 rawCount = 0;
        qint32 lower = 0;
        if (!(*this)(rawCount) || !(*this)(lower))
            return false;
        const qint64 count = quint32(rawCount);
        // Both bounds must be 32-bit indexes, as they are for any real list.
        const qint64 upper = qint64(lower) + count - 1;
        if (upper > std::numeric_limits<qint32>::max() || upper < std::numeric_limits<qint32>::min())
            return badHeader();
        // The data left must be able to hold every element at its smallest;
        // this also bounds the memory reserved below by the input's size.
        if (count > remaining() / minElementBytes)
            return pastEnd();
        // Lists inside lists (the texts of each button) count together.
        m_elements += count;
        if (count > maxCount || m_elements > MaxElements)
            return tooMany();
        list.exists = true;
        list.lowerBound = lower;
        list.items.clear();
        list.items.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            list.items.append(T());
            if (!element(list.items.back()))
                return false;
        }
        return true;
    }

    static constexpr qint64 MaxElements = 400000;

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    qint64 m_elements = 0;
};

class Writer
{
public:
    QByteArray out;

    bool operator()(const quint8 &v)
    {
        out.append(char(v));
        return true;
    }
    bool operator()(const qint16 &v) { return put(v); }
    bool operator()(const qint32 &v) { return put(v); }
    bool operator()(const float &v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, sizeof bits);
        return put(bits);
    }
    bool operator()(const std::array<qint32, 17> &v)
    {
        for (const qint32 x : v)
            put(x);
        return true;
    }
    bool operator()(const QString &v)
    {
        QByteArray bytes = Cp1252::encode(v);
        if (bytes.size() > MaxTextBytes)
            bytes.truncate(MaxTextBytes);
        put(quint16(bytes.size()));
        out.append(bytes);
        return true;
    }
    bool operator()(const VbList<QString> &list) { return writeList(list); }
    bool operator()(const VbList<BUTTON> &list) { return writeList(list); }

private:
    template<typename T>
    bool put(T v)
    {
        uchar b[sizeof(T)];
        qToLittleEndian(v, b);
        out.append(reinterpret_cast<const char *>(b), sizeof(T));
        return true;
    }

    bool element(const QString &v) { return (*this)(v); }
    bool element(const BUTTON &v) { return visitButton(*this, v); }

    template<typename T>
    bool writeList(const VbList<T> &list)
    {
        if (!list.exists)
            return put(qint16(0));
        put(qint16(1));
        put(quint32(list.items.size()));
        put(list.lowerBound);
        for (const T &item : list.items)
            element(item);
        return true;
    }
};

} // namespace

namespace SettingsFile {

std::optional<VbError> Read(const QByteArray &bytes, SettingsRecord &record, qsizetype *consumed)
{
    Reader reader(bytes);
    visitRecord(reader, record);
    if (consumed)
        *consumed = reader.position();
    return reader.error;
}

QByteArray Write(const SettingsRecord &record)
{
    Writer writer;
    writer.out.reserve(4096 + (record.Buttons.items.size() + record.Presets.items.size()) * 200);
    visitRecord(writer, record);
    return writer.out;
}

std::optional<VbError> LoadFile(const QString &path, SettingsRecord &record, bool *missingOrEmpty)
{
    record = SettingsRecord();
    if (missingOrEmpty)
        *missingOrEmpty = false;
    const QFileInfo info(path);
    if (!info.exists() || (info.isFile() && info.size() == 0)) {
        if (missingOrEmpty)
            *missingOrEmpty = true;
        return std::nullopt;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            return VbError(VbErr::PermissionDenied, QStringLiteral("Permission denied"));
        return VbError(VbErr::PathFileAccessError, QStringLiteral("Path/File access error"));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return VbError(VbErr::PathFileAccessError, QStringLiteral("Path/File access error"));
    if (bytes.isEmpty()) {
        if (missingOrEmpty)
            *missingOrEmpty = true;
        return std::nullopt;
    }
    return Read(bytes, record);
}

std::optional<VbError> WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    // The record holds the parent password: no other account may read it.
    if (AtomicFile::write(path, bytes, nullptr, AtomicFile::Access::OwnerOnly))
        return std::nullopt;
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return VbError(VbErr::PathNotFound, QStringLiteral("Path not found"));
    if (!target.isDir() && !folder.isWritable())
        return VbError(VbErr::PermissionDenied, QStringLiteral("Permission denied"));
    return VbError(VbErr::PathFileAccessError, QStringLiteral("Path/File access error"));
}

std::optional<VbError> SaveFile(const QString &path, const SettingsRecord &record)
{
    return WriteWholeFile(path, Write(record));
}

QString ReadErrorMessage(const VbError &error)
{
    return QStringLiteral("Error reading datafile. The file may be corrupted!\r\n\r\n") + error.Description
           + QStringLiteral("\r\nCode ") + QString::number(error.Number);
}

void MakeClearState(SettingsRecord &s)
{
    s = SettingsRecord();

    // What "-clear" sets.
    s.Buttons.redim(0);
    s.ButtonsMax = -1;
    s.Presets.redim(0);
    s.PresetsMax = -1;
    s.FontName = QStringLiteral("Tahoma");
    s.FontSize = 8;
    s.SnapToGrid = 1;
    s.GridSize = 30;

    // Start and exit program slots 0 to 5, all empty.
    s.ShellCommandsMax = 5;
    s.ShellCommands.redim(5);

    // A calm blue gradient behind the empty menu, black button text.
    s.ScreenBackColor = 0x00A56E3A;   // RGB(58, 110, 165)
    s.Gradient1Color = 0x00A56E3A;
    s.Gradient2Color = 0x00502810;    // RGB(16, 40, 80)
    s.GradientAngle = 90;
    s.BackgroundStyle = 1;
    s.PictureStretch = VbTrue;
    s.PictureKeepAspect = VbTrue;
    s.GradientBehindPicture = VbTrue;
    s.ScreenTextColor = 0x00000000;
    s.CustomColors.fill(0x00FFFFFF);  // the colour dialog's own start value

    // The status bar in the system's button colours.
    s.ShowStatusBar = VbTrue;
    s.ShowSystemInfoBar = VbTrue;
    s.ShowActiveApps = VbTrue;
    s.StatusBackColor = qint32(0x8000000F); // button face
    s.StatusTextColor = qint32(0x80000012); // button text

    s.ResponseTimeout = 10;
    s.ButtonFreezeSeconds = 2;
    s.SoundsEnabled = VbTrue;
    s.BeepIfNoSound = VbFalse;
    s.OneProcessOnly = VbFalse;
    s.AskToCloseRunning = VbFalse;
}

} // namespace SettingsFile
