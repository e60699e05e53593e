#pragma once

#include <QString>

#include <atomic>
#include <memory>

struct WaveFile;

// Speaker tones: Beep(frequency, milliseconds) sounds a synthesised tone on the
// default audio output and returns when it has ended; without an audio device
// it only waits. Tests replace the sink, or watch a real process through a log.
namespace Tones {

class Sink
{
public:
    virtual ~Sink() = default;
    virtual void play(int frequency, int milliseconds) = 0;
};

void Beep(int frequency, int milliseconds);

// Takes ownership; nullptr restores the audio sink.
void setSink(std::unique_ptr<Sink> sink);

// Every tone is also appended to this file as a line "FREQ MS" (empty: none).
void setLogFile(const QString &path);

// The audio sink opens the device per tone, so nothing of the audio stack stays
// loaded or connected between tones. A program that sounds tones all the time
// (beeper) keeps it open instead: connecting to a sound server for every tone
// costs more processor time than the tone. false closes it again.
void keepDeviceOpen(bool keep);

// The sample rate tones are made at and the frequencies that sound; a tone
// outside that range (or of no length) is a silent wait of its length.
constexpr int SampleRate = 48000;
constexpr int LowestFrequency = 20;
constexpr int HighestFrequency = 20000;

// A sound file's samples on the default audio output, on a device opened for
// this sound alone: returns when they have played, when stop turns true (seen
// within about 50 ms), or at once with false and the reason when no device
// takes them. Meant for a worker thread: a stalled sound server holds it up
// to the sound's length and a quarter second more, never longer.
bool playWave(const WaveFile &wave, const std::atomic<bool> &stop, QString *why = nullptr);

// An audio output is there: a sound card, or a default device that opens.
bool outputExists();

} // namespace Tones
