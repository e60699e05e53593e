#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A .wav file's samples as a sound card takes them: integer PCM of 8, 16, 24
// or 32 bits or 32-bit floats, little-endian and interleaved, as the RIFF
// "fmt " and "data" chunks give them. Anything else (compressed formats, a
// file cut short, absurd rates) is refused with a reason, so the caller can
// log it and stay silent.
struct WaveFile
{
    enum class Sample { Unsigned8, Signed16, Signed24, Signed32, Float32 };

    Sample sample = Sample::Signed16;
    int channels = 0;
    int rate = 0;
    QByteArray frames; // whole frames only

    int bytesPerFrame() const;

    static std::optional<WaveFile> read(const QString &path, QString *why = nullptr);
    static std::optional<WaveFile> parse(const QByteArray &bytes, QString *why = nullptr);
};
