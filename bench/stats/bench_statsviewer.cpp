// The statistics viewer on a table of 10,000 rows: the refill of the list
// (query and model), and opening the viewer until its first paint, in every
// sort. Prints the median and the slowest run; exits 1 when a median misses
// the 300 ms target.
#include "FormPrompts.h"
#include "base/modGlobals.h"
#include "stats/StatsStore.h"
#include "stats/frmStats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rows = 10000;
constexpr int Runs = 11;
constexpr double TargetMs = 300.0;

bool makeTable(const QSqlDatabase &db)
{
    QFile schema(QStringLiteral(BRINDLE_STATS_SCHEMA));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    QSqlQuery query(db);
    for (const QString &statement : QString::fromUtf8(schema.readAll()).split(QLatin1Char(';')))
        if (!statement.trimmed().isEmpty() && !query.exec(statement))
            return false;
    QSqlDatabase(db).transaction();
    query.prepare(QStringLiteral("INSERT INTO TAB_STAT (Caption, Path, Executions, LastExecuted, Seconds, TIMESTRING) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < Rows; ++i) {
        query.addBindValue(QStringLiteral("Program %1 %time%").arg((i * 7919) % Rows));
        query.addBindValue(QStringLiteral("/usr/games/program%1 \"--level %2\"").arg(i).arg(i % 9));
        query.addBindValue((i * 31) % 500);
        query.addBindValue(QStringLiteral("2024-%1-%2 10:%3:00").arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                               .arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')));
        query.addBindValue(double((i * 104729) % 100000) + 0.5);
        query.addBindValue(QString());
        if (!query.exec())
            return false;
    }
    return QSqlDatabase(db).commit();
}

void report(const char *what, const std::function<void()> &step, bool &ok)
{
    std::vector<double> ms;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-44s median %7.1f ms   slowest %7.1f ms   %s\n", what, median, ms.back(),
                median < TargetMs ? "ok" : "MISSED");
    ok = ok && median < TargetMs;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("stats.db"));
    QFile(file).open(QIODevice::WriteOnly);
    StatsStore store;
    if (!store.Open(file) || !makeTable(store.Database())) {
        std::fprintf(stderr, "cannot make the statistics table\n");
        return 2;
    }
    std::printf("Statistics viewer, %d rows, %d runs each (target: median under %.0f ms)\n", Rows, Runs, TargetMs);
    bool ok = true;
    FormPrompts prompts(nullptr, store);
    for (int key = 0; key <= 4; ++key) {
        modGlobals::SS.StatsSortKey = key;
        modGlobals::SS.StatsSortOrder = key % 2;
        frmStats viewer(store.Database(), prompts);
        const QByteArray what = QStringLiteral("FillStats, sort %1 %2").arg(key).arg(key % 2 ? "desc" : "asc").toUtf8();
        report(what.constData(), [&viewer] { viewer.FillStats(); }, ok);
    }
    modGlobals::SS.StatsSortKey = 0;
    report("open the viewer until its first paint", [&store, &prompts] {
        frmStats viewer(store.Database(), prompts);
        viewer.show();
        viewer.grab();
        QCoreApplication::processEvents();
    }, ok);
    return ok ? 0 : 1;
}
