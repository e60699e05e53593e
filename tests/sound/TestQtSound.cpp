// Sound files through Qt Multimedia: stopping a sound from inside its own
// wait (Esc during the exit sound) ends the wait instead of crashing it.
#include "platform/Services.h"
#include "TestEnv.h"

#include <QTimer>
#include <QtEndian>
#include <QtTest>

namespace {

// A short mono 16-bit WAV of silence.
QByteArray silentWave(int milliseconds)
{
    const quint32 rate = 8000;
    const quint32 dataBytes = rate * 2 * quint32(milliseconds) / 1000;
    QByteArray wave;
    auto put32 = [&wave](quint32 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char *>(&v), 4); };
    auto put16 = [&wave](quint16 v) { v = qToLittleEndian(v); wave.append(reinterpret_cast<const char *>(&v), 2); };
    wave.append("RIFF");
    put32(36 + dataBytes);
    wave.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    wave.append("data");
    put32(dataBytes);
    wave.append(QByteArray(int(dataBytes), '\0'));
    return wave;
}

} // namespace

class TestQtSound : public QObject
{
    Q_OBJECT

private slots:
    void stopInsideTheWait()
    {
        TestEnv env;
        const QString file = env.path(QStringLiteral("bye.wav"));
        QVERIFY(writeFile(file, silentWave(3000)));
        platform::Sound &sound = platform::Services::sound();
        QTimer::singleShot(0, [&sound] { sound.stop(); });
        QElapsedTimer clock;
        clock.start();
        sound.play(file, true);
        QVERIFY(clock.elapsed() < 2500);
        sound.stop(); // nothing playing: harmless
    }
};

QTEST_MAIN(TestQtSound)
#include "TestQtSound.moc"
