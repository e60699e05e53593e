#include "Tones.h"
#include "WaveFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QThread>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>
#include <utility>

// Silent unless asked for (QT_LOGGING_RULES="brindle.tones.info=true"): a
// machine without sound is normal and must not fill anybody's log.
Q_LOGGING_CATEGORY(lcTones, "brindle.tones", QtWarningMsg)

namespace {

constexpr double Level = 0.3;     // of full scale: clearly audible, not harsh
constexpr int FadeMs = 5;         // long enough to take the click off the edges
constexpr int BufferUs = 50000;   // device buffer; also the tail we may wait for
constexpr int TailAllowanceMs = 250; // a sound server that holds on longer gets cut

// Makes the samples of one tone piece by piece, so a long tone needs no big buffer.
class Generator
{
public:
    Generator(int frequency, int milliseconds, int sampleRate)
    {
        if (milliseconds <= 0 || sampleRate <= 0 || frequency < Tones::LowestFrequency
            || frequency > Tones::HighestFrequency || 2 * frequency >= sampleRate)
            return;
        m_total = qint64(sampleRate) * milliseconds / 1000;
        m_fade = std::min<qint64>(qint64(sampleRate) * FadeMs / 1000, m_total / 2);
        m_step = 2.0 * std::numbers::pi * frequency / sampleRate;
    }

    qint64 total() const { return m_total; }

    int fill(qint16 *out, int capacity)
    {
        const int n = int(std::min<qint64>(capacity, m_total - m_pos));
        for (int done = 0; done < n;) {
            // sin() per sample would cost more than everything else beeper does:
            // the recurrence sin(x + s) = 2 cos(s) sin(x) - sin(x - s) needs one
            // multiply-add, and a fresh start every block keeps it exact.
            const int block = std::min(n - done, 1024);
            double current = std::sin(m_step * double(m_pos));
            double previous = std::sin(m_step * double(m_pos - 1));
            const double twoCos = 2.0 * std::cos(m_step);
            for (int i = 0; i < block; ++i, ++m_pos) {
                double v = 32767.0 * Level * current;
                if (m_pos < m_fade || m_pos >= m_total - m_fade)
                    v *= envelope(m_pos);
                out[done + i] = qint16(v < 0 ? v - 0.5 : v + 0.5);
                const double next = twoCos * current - previous;
                previous = current;
                current = next;
            }
            done += block;
        }
        return n;
    }

private:
    double envelope(qint64 i) const
    {
        const qint64 edge = std::min(i, m_total - 1 - i);
        if (edge >= m_fade)
            return 1.0;
        return 0.5 - 0.5 * std::cos(std::numbers::pi * double(edge) / double(m_fade));
    }

    qint64 m_total = 0;
    qint64 m_pos = 0;
    qint64 m_fade = 0;
    double m_step = 0;
};

void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

// libasound prints every failed open to stderr; no sound device is no news.
void quietenAlsa()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(quietAlsa); });
}

bool keepOpen = false; // guarded by sinkMutex()

// ALSA's "default" device, opened per tone unless keepOpen: then it stays open
// between tones, stopped. A device that fails is closed and looked for again
// at the next tone, so one that appears later is found.
class AlsaSink : public Tones::Sink
{
public:
    AlsaSink()
    {
        quietenAlsa();
    }

    ~AlsaSink() override { release(); }

    void release()
    {
        if (m_pcm)
            snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

    void play(int frequency, int milliseconds) override
    {
        if (milliseconds <= 0)
            return;
        QElapsedTimer clock;
        clock.start();
        Generator tone(frequency, milliseconds, Tones::SampleRate);
        if (tone.total() > 0)
            sound(tone, clock, qint64(milliseconds) + TailAllowanceMs);
        // Whatever the device did, the caller's timing holds: the tone lasts its length.
        const qint64 rest = milliseconds - clock.elapsed();
        if (rest > 0)
            QThread::msleep(static_cast<unsigned long>(rest));
    }

private:
    snd_pcm_t *openDevice()
    {
        if (m_pcm) {
            if (snd_pcm_prepare(m_pcm) >= 0)
                return std::exchange(m_pcm, nullptr);
            release();
        }
        snd_pcm_t *pcm = nullptr;
        int rc = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (rc < 0) {
            report(false, rc);
            return nullptr;
        }
        rc = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                Tones::SampleRate, 1, BufferUs);
        if (rc < 0) {
            report(false, rc);
            snd_pcm_close(pcm);
            return nullptr;
        }
        report(true, 0);
        return pcm;
    }

    void sound(Generator &tone, const QElapsedTimer &clock, qint64 limitMs)
    {
        snd_pcm_t *pcm = openDevice();
        if (!pcm)
            return;

        // Non-blocking writes with a deadline: a stalled sound server must not
        // hold the caller (the shell's UI thread) beyond the tone.
        std::array<qint16, 1024> buffer;
        int have = 0;
        int done = 0;
        bool failed = false;
        while (clock.elapsed() < limitMs) {
            if (done == have) {
                have = tone.fill(buffer.data(), int(buffer.size()));
                done = 0;
                if (have == 0)
                    break;
            }
            const snd_pcm_sframes_t n = snd_pcm_writei(pcm, buffer.data() + done, snd_pcm_uframes_t(have - done));
            if (n == -EAGAIN) {
                snd_pcm_wait(pcm, int(std::clamp<qint64>(limitMs - clock.elapsed(), 1, 100)));
            } else if (n < 0) {
                if (snd_pcm_recover(pcm, int(n), 1) < 0) {
                    report(false, int(n));
                    failed = true;
                    break;
                }
            } else {
                done += int(n);
            }
        }
        // A tone shorter than the buffer has not started by itself.
        if (!failed && snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(pcm);
        // Let the tail play out; once it has, the device reports an underrun.
        while (!failed) {
            snd_pcm_sframes_t delay = 0;
            if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0)
                break;
            const qint64 left = limitMs - clock.elapsed();
            if (left <= 0)
                break;
            const qint64 waitMs = std::clamp<qint64>(qint64(delay) * 1000 / Tones::SampleRate, 1, 20);
            QThread::msleep(static_cast<unsigned long>(std::min(waitMs, left)));
        }
        if (keepOpen && !failed && snd_pcm_drop(pcm) >= 0)
            m_pcm = pcm;
        else
            snd_pcm_close(pcm);
    }

    // One line when the device comes or goes, not one per tone.
    void report(bool available, int error)
    {
        if (m_known && available == m_available)
            return;
        m_known = true;
        m_available = available;
        if (available)
            qCInfo(lcTones) << "tones sound on the default audio output";
        else
            qCInfo(lcTones) << "no audio output, tones are silent:" << snd_strerror(error);
    }

    snd_pcm_t *m_pcm = nullptr; // kept between tones, stopped
    bool m_known = false;
    bool m_available = false;
};

std::unique_ptr<Tones::Sink> &sink()
{
    static std::unique_ptr<Tones::Sink> s = std::make_unique<AlsaSink>();
    return s;
}

// One speaker: tones from different threads follow one another.
std::mutex &sinkMutex()
{
    static std::mutex m;
    return m;
}

QString &logPath()
{
    static QString path;
    return path;
}

void logTone(int frequency, int milliseconds)
{
    if (logPath().isEmpty())
        return;
    QFile log(logPath());
    if (log.open(QIODevice::Append | QIODevice::WriteOnly))
        log.write(QByteArray::number(frequency) + ' ' + QByteArray::number(milliseconds) + '\n');
}

} // namespace

namespace Tones {

void Beep(int frequency, int milliseconds)
{
    std::lock_guard lock(sinkMutex());
    logTone(frequency, milliseconds);
    sink()->play(frequency, milliseconds);
}

void setSink(std::unique_ptr<Sink> s)
{
    std::lock_guard lock(sinkMutex());
    sink() = s ? std::move(s) : std::make_unique<AlsaSink>();
}

void setLogFile(const QString &path)
{
    std::lock_guard lock(sinkMutex());
    logPath() = path;
}

void keepDeviceOpen(bool keep)
{
    std::lock_guard lock(sinkMutex());
    keepOpen = keep;
    if (!keep) {
        if (auto *alsa = dynamic_cast<AlsaSink *>(sink().get()))
            alsa->release();
    }
}

bool playWave(const WaveFile &wave, const std::atomic<bool> &stop, QString *why)
{
    quietenAlsa();
    const auto fail = [why](const char *what, int error) {
        if (why)
            *why = QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(snd_strerror(error));
        return false;
    };
    static constexpr snd_pcm_format_t formats[] = {SND_PCM_FORMAT_U8, SND_PCM_FORMAT_S16_LE, SND_PCM_FORMAT_S24_3LE,
                                                   SND_PCM_FORMAT_S32_LE, SND_PCM_FORMAT_FLOAT_LE};
    snd_pcm_t *pcm = nullptr;
    int rc = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (rc < 0)
        return fail("no audio output", rc);
    // Resampling allowed: "default" converts what the card cannot take.
    rc = snd_pcm_set_params(pcm, formats[int(wave.sample)], SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(wave.channels),
                            unsigned(wave.rate), 1, 2 * BufferUs);
    if (rc < 0) {
        snd_pcm_close(pcm);
        return fail("the audio output refuses the format", rc);
    }
    const int frameBytes = wave.bytesPerFrame();
    const qint64 total = wave.frames.size() / frameBytes;
    const qint64 limitMs = total * 1000 / wave.rate + TailAllowanceMs;
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    bool ok = true;
    while (done < total && !stop && clock.elapsed() < limitMs) {
        const snd_pcm_sframes_t n =
            snd_pcm_writei(pcm, wave.frames.constData() + done * frameBytes, snd_pcm_uframes_t(total - done));
        if (n == -EAGAIN) {
            snd_pcm_wait(pcm, 50);
        } else if (n < 0) {
            if (snd_pcm_recover(pcm, int(n), 1) < 0) {
                ok = fail("the audio output failed", int(n));
                break;
            }
        } else {
            done += n;
        }
    }
    if (ok && !stop && snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED)
        snd_pcm_start(pcm);
    while (ok && !stop && clock.elapsed() < limitMs) {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(std::clamp<qint64>(qint64(delay) * 1000 / wave.rate, 1, 20)));
    }
    // Stopped: what is still queued goes at once; otherwise it has played.
    if (stop)
        snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
    return ok;
}

bool outputExists()
{
    int card = -1;
    if (snd_card_next(&card) >= 0 && card >= 0)
        return true;
    // A sound server without a card of this machine's own.
    quietenAlsa();
    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    snd_pcm_close(pcm);
    return true;
}

} // namespace Tones
