#include "LinuxServices.h"

#include <Tones.h>
#include <WaveFile.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

Q_LOGGING_CATEGORY(lcSound, "brindle.sound")

namespace platform::linuxsvc {
namespace {

// One sound on its way: the worker plays it, the UI thread may stop it.
struct Playing
{
    std::atomic<bool> stop = false;
    std::atomic<bool> done = false;
};

// .wav files through ALSA (libasound, which the suite's tones use already)
// on a worker thread, so no sound, device or sound server holds the UI
// thread, and no audio framework is loaded before a sound plays.
class AlsaSound : public Sound
{
public:
    ~AlsaSound() override
    {
        stop();
        // A worker still in the device lets go within its poll; the process
        // may end meanwhile, it touches nothing of ours.
    }

    bool hasOutput() override { return Tones::outputExists(); }

    void play(const QString &path, bool wait) override
    {
        stop();
        QString why;
        auto wave = std::make_shared<const std::optional<WaveFile>>(WaveFile::read(path, &why));
        if (!*wave) {
            qCWarning(lcSound).noquote() << "not played:" << path << '-' << why;
            return;
        }
        const auto playing = std::make_shared<Playing>();
        m_playing = playing;
        std::thread([wave, playing, path] {
            QString why;
            if (!Tones::playWave(**wave, playing->stop, &why))
                qCWarning(lcSound).noquote() << "not played:" << path << '-' << why;
            playing->done = true;
        }).detach();
        if (wait)
            waitFor(playing, (*wave)->frames.size() / (*wave)->bytesPerFrame() * 1000 / (*wave)->rate);
    }

    void stop() override
    {
        if (m_playing)
            m_playing->stop = true;
        m_playing.reset();
        if (m_wait)
            m_wait->quit();
    }

    void beep() override { QApplication::beep(); }

private:
    // Events run until the sound has ended or was stopped (Esc, another
    // sound), at most its length and a second more.
    void waitFor(const std::shared_ptr<Playing> &playing, qint64 lengthMs)
    {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        const QPointer<QEventLoop> outerWait = m_wait;
        m_wait = &loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (playing->done || playing->stop || clock.elapsed() > lengthMs + 1000)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
        m_wait = outerWait;
    }

    std::shared_ptr<Playing> m_playing;
    QPointer<QEventLoop> m_wait;
};

} // namespace

std::unique_ptr<Sound> createSound()
{
    return std::make_unique<AlsaSound>();
}

} // namespace platform::linuxsvc
