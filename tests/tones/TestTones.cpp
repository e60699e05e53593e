// Speaker tones: the samples, the log and the real ALSA path.
// ALSA_CONFIG_PATH names a configuration of our own, so "default" is a device
// the test chooses: usually one that writes every tone to a file.
#include "Tones.h"
#include "WaveFile.h"

#include "TestEnv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QtTest>

#include <cmath>
#include <unistd.h>

namespace {

// What the device was sent: raw signed 16-bit samples.
std::vector<qint16> readSamples(const QString &path)
{
    const QByteArray b = QFile::exists(path) ? readFile(path) : QByteArray();
    std::vector<qint16> s(size_t(b.size() / 2));
    memcpy(s.data(), b.constData(), s.size() * 2);
    return s;
}

int zeroCrossings(const std::vector<qint16> &s)
{
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i)
        n += (s[i - 1] < 0) != (s[i] < 0);
    return n;
}

int peak(const std::vector<qint16> &s, size_t from, size_t to)
{
    int p = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        p = std::max(p, std::abs(int(s[i])));
    return p;
}

// Checks one tone's samples: length, pitch, level and the soft edges.
void checkTone(const std::vector<qint16> &s, int frequency, int milliseconds, int rate)
{
    QCOMPARE(qint64(s.size()), qint64(rate) * milliseconds / 1000);
    const double expectedCrossings = 2.0 * frequency * milliseconds / 1000.0;
    QVERIFY2(std::abs(zeroCrossings(s) - expectedCrossings) <= std::max(2.0, expectedCrossings * 0.01),
             qPrintable(QStringLiteral("%1 zero crossings").arg(zeroCrossings(s))));
    const int full = peak(s, 0, s.size());
    QVERIFY2(full > 32767 * 0.2 && full < 32767 * 0.5, qPrintable(QString::number(full)));
    QVERIFY2(std::abs(s.front()) < full / 50 && std::abs(s.back()) < full / 50,
             "a tone must start and end near zero, or it clicks");
    const size_t edge = std::min(size_t(rate / 1000), s.size() / 8);
    QVERIFY2(peak(s, 0, edge) < full / 4, "no fade-in");
    QVERIFY2(peak(s, s.size() - edge, s.size()) < full / 4, "no fade-out");
}

// Collects what is written to stderr (fd 2) while alive.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }

    QByteArray finish()
    {
        fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

// A RIFF WAVE file: a "fmt " chunk of the given format, then the samples.
QByteArray wave(quint16 tag, quint16 channels, quint32 rate, quint16 bits, const QByteArray &samples)
{
    QByteArray fmt(16, '\0');
    qToLittleEndian(tag, fmt.data());
    qToLittleEndian(channels, fmt.data() + 2);
    qToLittleEndian(rate, fmt.data() + 4);
    qToLittleEndian(bits, fmt.data() + 14);
    const auto chunk = [](const char *id, const QByteArray &body) {
        QByteArray size(4, '\0');
        qToLittleEndian(quint32(body.size()), size.data());
        return QByteArray(id) + size + body;
    };
    return "RIFF----WAVE" + chunk("fmt ", fmt) + chunk("data", samples);
}

} // namespace

class TestTones : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(m_output);
        useDevice("type file\nslave.pcm { type null }\nformat \"raw\"\nfile \"" + QFile::encodeName(m_output) + '"');
    }

    // The tone reaches ALSA's default device in full and Beep lasts the tone,
    // also one shorter than the device buffer. The log names each tone while
    // BRINDLE_TONE_LOG names it.
    void audioOutput()
    {
        const int frequency = 2000;
        const int milliseconds = 30;
        const QString log = m_env.path(QStringLiteral("tones.log"));
        QVERIFY(writeFile(log, "earlier 1\n"));
        Tones::setLogFile(log);

        QElapsedTimer clock;
        clock.start();
        Tones::Beep(frequency, milliseconds);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= milliseconds && took < milliseconds + 300, qPrintable(QString::number(took)));
        Tones::setLogFile(QString());
        Tones::Beep(0, 1);
        QCOMPARE(readFile(log), QByteArray("earlier 1\n2000 30\n"));

        // Mono at SampleRate, or neither length nor pitch would match.
        checkTone(readSamples(m_output), frequency, milliseconds, Tones::SampleRate);
    }

    void onlyWaits_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<QByteArray>("device"); // empty: the file device of init()

        QTest::newRow("below hearing") << 19 << 120 << QByteArray();
        QTest::newRow("negative length") << 800 << -100 << QByteArray();
        QTest::newRow("no sound card") << 800 << 200 << QByteArray("type hw\ncard 31");
    }

    // A tone that cannot sound, or a missing or broken device: Beep waits the
    // tone's length, nothing reaches the device and nothing is said.
    void onlyWaits()
    {
        QFETCH(int, frequency);
        QFETCH(int, milliseconds);
        QFETCH(QByteArray, device);
        if (!device.isEmpty())
            useDevice(device);
        StderrCapture capture;
        QElapsedTimer clock;
        clock.start();
        Tones::Beep(frequency, milliseconds);
        const qint64 took = clock.elapsed();
        const QByteArray noise = capture.finish();
        const int length = std::max(0, milliseconds);
        QVERIFY2(took >= length - 1 && took < length + 100, qPrintable(QString::number(took)));
        QVERIFY(!QFile::exists(m_output));
        QVERIFY2(noise.isEmpty(), noise.constData());
    }

    void waveFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("device"); // empty: the file device of init()
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QByteArray>("sent");   // what reaches the device; "-": refused unread
        const QByteArray frames = QByteArray::fromHex("0100ff7f0200fe7f0300fd7f");
        QTest::newRow("a half frame at the end is left out")
            << wave(1, 1, 8000, 24, frames + 'x') << QByteArray() << false << frames;
        QTest::newRow("stopped") << wave(1, 2, 44100, 16, frames) << QByteArray() << true << QByteArray();
        QTest::newRow("no sound card") << wave(1, 2, 44100, 16, frames) << QByteArray("type hw\ncard 31") << false
                                       << QByteArray();
        QTest::newRow("compressed") << wave(2, 1, 8000, 4, frames) << QByteArray() << false << QByteArray("-");
        QTest::newRow("no format") << wave(1, 1, 8000, 16, frames).replace("fmt ", "junk") << QByteArray() << false
                                   << QByteArray("-");
        QTest::newRow("less than a frame") << wave(1, 1, 8000, 16, "x") << QByteArray() << false << QByteArray("-");
        QTest::newRow("absurd rate") << wave(1, 1, 5, 16, frames) << QByteArray() << false << QByteArray("-");
        QTest::newRow("not RIFF") << QByteArray("ID3\3 an mp3 file") << QByteArray() << false << QByteArray("-");
    }

    // A .wav file reaches the device as it is; one that cannot be played is
    // refused with a reason, quickly and without a word on stderr.
    void waveFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, device);
        QFETCH(bool, stopped);
        QFETCH(QByteArray, sent);
        if (!device.isEmpty())
            useDevice(device);
        QString why;
        const std::optional<WaveFile> read = WaveFile::parse(file, &why);
        QCOMPARE(!read, sent == "-");
        if (!read) {
            QVERIFY(!why.isEmpty());
            return;
        }
        StderrCapture capture;
        QElapsedTimer clock;
        clock.start();
        const std::atomic<bool> stop = stopped;
        const bool played = Tones::playWave(*read, stop, &why);
        QVERIFY2(clock.elapsed() < 300, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(played, device.isEmpty());
        QCOMPARE(why.isEmpty(), played);
        QCOMPARE(QFile::exists(m_output) ? readFile(m_output) : QByteArray(), sent);
        const QByteArray noise = capture.finish();
        QVERIFY2(noise.isEmpty(), noise.constData());
    }

private:
    // A new file each time: ALSA reloads when the configuration path changes.
    void useDevice(const QByteArray &definition)
    {
        static int serial = 0;
        const QString conf = m_env.path(QStringLiteral("alsa-%1.conf").arg(++serial));
        QVERIFY(writeFile(conf, "pcm.!default {\n" + definition + "\n}\n"));
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(conf));
    }

    TestEnv m_env;
    const QString m_output = m_env.path(QStringLiteral("out.raw"));
};

QTEST_GUILESS_MAIN(TestTones)
#include "TestTones.moc"
