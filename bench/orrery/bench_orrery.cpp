// bench_orrery: how long the system information queries take.
//
// Times GetProcessInformation of every process (the full record with owners),
// and for comparison one process by id and a name pattern; then the calls that
// the menu's captions make (a drive's sizes, the address, the names), which
// run on the user-interface thread. Each figure is the median of the rounds.
//   bench_orrery [rounds]

#include <clsSysInfo.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMicroseconds(int rounds, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    clsSysInfo info;
    qint32 count = 0;
    const qint32 self = qint32(QCoreApplication::applicationPid());

    const double all = medianMicroseconds(rounds, [&] { info.GetProcessInformation(count, -1, {}, {}, {}, "."); });
    const int processes = count + 1;
    const double byId = medianMicroseconds(rounds, [&] { info.GetProcessInformation(count, self, {}, {}, {}, "."); });
    const double byName =
        medianMicroseconds(rounds, [&] { info.GetProcessInformation(count, -1, "bash*", {}, {}, "."); });
    const QString where = QStringLiteral("where Name like 'b%' and ThreadCount > 1");
    const double byWhere =
        medianMicroseconds(rounds, [&] { info.GetProcessInformation(count, -1, {}, {}, where, "."); });
    const double drive = medianMicroseconds(rounds, [&] { info.GetDriveInfo("C"); });
    const double address = medianMicroseconds(rounds, [&] { info.GetIPAddress({}); });
    const double names = medianMicroseconds(rounds, [&] {
        info.LoggedUser();
        info.ComputerName();
    });

    std::printf("rounds: %d (median of each)\n", rounds);
    std::printf("GetProcessInformation, all %4d processes: %10.0f us (%.1f us per process)\n", processes, all,
                all / std::max(1, processes));
    std::printf("GetProcessInformation, this process by id: %9.0f us\n", byId);
    std::printf("GetProcessInformation, name pattern bash*:  %9.0f us\n", byName);
    std::printf("GetProcessInformation, where clause:        %9.0f us\n", byWhere);
    std::printf("GetDriveInfo(\"C\"):                         %9.0f us\n", drive);
    std::printf("GetIPAddress(\"\"):                          %9.0f us\n", address);
    std::printf("LoggedUser and ComputerName:                %9.0f us\n", names);
    return 0;
}
