#include "LinuxServices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace platform::linuxsvc {
namespace {

// Qt Multimedia is loaded only when a sound is actually played.
class QtSound : public Sound
{
public:
    bool hasOutput() override { return !QMediaDevices::audioOutputs().isEmpty(); }

    void play(const QString &path, bool wait) override
    {
        stop();
        m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(QUrl::fromLocalFile(path));
        m_effect->play();
        if (!wait)
            return;
        // Let events run until the sound has finished, failed, or clearly hangs.
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            const bool failed = m_effect->status() == QSoundEffect::Error;
            const bool loading = m_effect->status() == QSoundEffect::Loading
                                 || m_effect->status() == QSoundEffect::Null;
            const bool done = !loading && !m_effect->isPlaying();
            if (failed || done || clock.elapsed() > kLongestWaitMs)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
    }

    void stop() override
    {
        if (m_effect)
            m_effect->stop();
        m_effect.reset();
    }

private:
    static constexpr qint64 kLongestWaitMs = 60 * 1000;
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace

std::unique_ptr<Sound> createSound()
{
    return std::make_unique<QtSound>();
}

} // namespace platform::linuxsvc
