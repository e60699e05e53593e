#include "captions/SystemInformation.h"
#include "TestEnv.h"
#include "captions/clsCPUUsageNT.h"

#include <QTemporaryDir>
#include <QTest>


namespace {

// A "cpu" line of the kernel statistics: user, nice, system, idle, iowait, irq, softirq, steal.
QByteArray statText(const QByteArray &cpuTicks)
{
    return "cpu  " + cpuTicks + " 0 0\ncpu0 1 2 3 4 5 6 7 8 0 0\nintr 12345\n";
}

} // namespace

class TestSystemLoad : public QObject
{
    Q_OBJECT

private slots:
    void cpuLoad_data()
    {
        QTest::addColumn<QByteArrayList>("samples"); // the first is read at creation
        QTest::addColumn<QList<int>>("loads");       // one Query after each further sample
        const QByteArray start = "1000 0 500 8000 100 0 0 0";
        QTest::newRow("idle") << QByteArrayList{start, "1000 0 500 8200 100 0 0 0"} << QList<int>{0};
        QTest::newRow("both cores busy") << QByteArrayList{start, "1150 20 530 8000 100 0 0 0"} << QList<int>{100};
        QTest::newRow("waiting for the disk is idle")
            << QByteArrayList{start, "1100 0 500 8050 150 0 0 0"} << QList<int>{50};
        QTest::newRow("irq, softirq and steal are busy")
            << QByteArrayList{start, "1000 0 500 8100 100 30 30 40"} << QList<int>{50};
        QTest::newRow("halves round up") << QByteArrayList{start, "1149 0 0500 8051 100 0 0 0"} << QList<int>{75};
        QTest::newRow("no time passed repeats the last load")
            << QByteArrayList{start, "1100 0 500 8100 100 0 0 0", "1100 0 500 8100 100 0 0 0"} << QList<int>{50, 50};
        QTest::newRow("counters that went back start afresh")
            << QByteArrayList{start, "1100 0 500 8100 100 0 0 0", "10 0 5 80 1 0 0 0", "40 0 5 90 1 0 0 0"}
            << QList<int>{50, 50, 75};
        QTest::newRow("not the statistics file") << QByteArrayList{start, "garbage"} << QList<int>{-1};
    }

    void cpuLoad()
    {
        QFETCH(QByteArrayList, samples);
        QFETCH(QList<int>, loads);
        QTemporaryDir dir;
        const QString path = dir.filePath("stat");
        QVERIFY(writeFile(path, statText(samples[0])));
        clsCPUUsageNT cpu(path);
        for (int i = 0; i < loads.size(); ++i) {
            const QByteArray &sample = samples[i + 1];
            QVERIFY(writeFile(path, sample == "garbage" ? sample : statText(sample)));
            QCOMPARE(cpu.Query(), loads[i]);
        }
        QFile::remove(path);
        QCOMPARE(cpu.Query(), -1);
    }

    void memoryLoad_data()
    {
        QTest::addColumn<QByteArray>("memInfo");
        QTest::addColumn<int>("load");
        QTest::newRow("a quarter available")
            << QByteArray("MemTotal:        1000 kB\nMemFree:          100 kB\nMemAvailable:     250 kB\n") << 75;
        QTest::newRow("rounded down") << QByteArray("MemTotal: 3000 kB\nMemAvailable: 1001 kB\n") << 66;
        QTest::newRow("no available figure") << QByteArray("MemTotal: 1000 kB\nMemFree: 100 kB\n") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }

    void memoryLoad()
    {
        QFETCH(QByteArray, memInfo);
        QFETCH(int, load);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("meminfo"), memInfo));
        QCOMPARE(SystemInformation(dir.filePath("meminfo")).MemoryLoad(), load);
    }
};

QTEST_GUILESS_MAIN(TestSystemLoad)
#include "TestSystemLoad.moc"
