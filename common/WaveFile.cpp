#include "WaveFile.h"

#include <QFile>
#include <QtEndian>

namespace {

// Longer sounds than this are not what the shell plays: its sounds are short
// notices, and the whole file is read into memory.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatFloat = 3;
constexpr quint16 FormatExtensible = 0xFFFE;

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

std::optional<WaveFile> refuse(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

int WaveFile::bytesPerFrame() const
{
    static constexpr int bytes[] = {1, 2, 3, 4, 4};
    return bytes[int(sample)] * channels;
}

std::optional<WaveFile> WaveFile::read(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(why, file.errorString());
    if (file.size() > MaxFileBytes)
        return refuse(why, QStringLiteral("longer than a notice sound"));
    return parse(file.readAll(), why);
}

std::optional<WaveFile> WaveFile::parse(const QByteArray &bytes, QString *why)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return refuse(why, QStringLiteral("not a RIFF WAVE file"));
    WaveFile wave;
    bool haveFormat = false;
    quint16 tag = 0, bits = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = u32(bytes.constData() + at + 4);
        const qint64 body = at + 8;
        // A data chunk whose size runs past the end (a file still being
        // written, or a size of 0xFFFFFFFF from a stream) keeps what is there.
        const qint64 have = std::min<qint64>(size, bytes.size() - body);
        if (id == "fmt ") {
            if (have < 16)
                return refuse(why, QStringLiteral("format chunk cut short"));
            const char *f = bytes.constData() + body;
            tag = u16(f);
            wave.channels = u16(f + 2);
            wave.rate = int(u32(f + 4));
            bits = u16(f + 14);
            // The extensible form names the real format in its sub-format GUID's first two bytes.
            if (tag == FormatExtensible && have >= 26)
                tag = u16(f + 24);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return refuse(why, QStringLiteral("samples before their format"));
            if (tag == FormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32))
                wave.sample = bits == 8 ? Sample::Unsigned8
                              : bits == 16 ? Sample::Signed16
                              : bits == 24 ? Sample::Signed24
                                           : Sample::Signed32;
            else if (tag == FormatFloat && bits == 32)
                wave.sample = Sample::Float32;
            else
                return refuse(why, QStringLiteral("format %1 with %2 bits is not plain PCM").arg(tag).arg(bits));
            if (wave.channels < 1 || wave.channels > 8 || wave.rate < 1000 || wave.rate > 384000)
                return refuse(why, QStringLiteral("%1 channels at %2 Hz").arg(wave.channels).arg(wave.rate));
            const qint64 whole = have - have % wave.bytesPerFrame();
            if (whole <= 0)
                return refuse(why, QStringLiteral("no samples"));
            wave.frames = bytes.mid(body, whole);
            return wave;
        }
        at = body + size + (size & 1); // chunks are padded to even sizes
    }
    return refuse(why, QStringLiteral("no samples"));
}
