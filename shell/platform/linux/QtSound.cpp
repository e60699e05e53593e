#include "LinuxServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
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
        // The wait below keeps its own reference: events it lets run may stop
        // the sound (Esc) or start another one.
        const auto effect = std::make_shared<QSoundEffect>();
        m_effect = effect;
        effect->setSource(QUrl::fromLocalFile(path));
        effect->play();
        if (!wait)
            return;
        // Let events run until the sound has finished, failed, was stopped,
        // or clearly hangs.
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        const QPointer<QEventLoop> outerWait = m_wait;
        m_wait = &loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            const bool failed = effect->status() == QSoundEffect::Error;
            const bool loading = effect->status() == QSoundEffect::Loading || effect->status() == QSoundEffect::Null;
            const bool done = !loading && !effect->isPlaying();
            if (failed || done || m_effect != effect || clock.elapsed() > kLongestWaitMs)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
        m_wait = outerWait;
    }

    void stop() override
    {
        if (m_effect)
            m_effect->stop();
        m_effect.reset();
        if (m_wait)
            m_wait->quit();
    }

    void beep() override { QApplication::beep(); }

private:
    static constexpr qint64 kLongestWaitMs = 60 * 1000;
    std::shared_ptr<QSoundEffect> m_effect;
    QPointer<QEventLoop> m_wait;
};

} // namespace

std::unique_ptr<Sound> createSound()
{
    return std::make_unique<QtSound>();
}

} // namespace platform::linuxsvc
