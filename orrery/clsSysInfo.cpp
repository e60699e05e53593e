#include "clsSysInfo.h"

#include "DiskLinks.h"
#include "HostAddress.h"
#include "LocalNames.h"
#include "LogicalDisks.h"
#include "MountTable.h"
#include "ProcReader.h"
#include "RecordFields.h"
#include "Wildcard.h"
#include "Wql.h"

#include <QFile>
#include <QLocale>

#include <sched.h>
#include <unistd.h>

using namespace orrery;

namespace {

// Processor architecture and type numbers of the system-information record.
#if defined(__x86_64__)
constexpr quint32 Architecture = 9, ProcessorType = 8664;
#elif defined(__i386__)
constexpr quint32 Architecture = 0, ProcessorType = 586;
#elif defined(__aarch64__)
constexpr quint32 Architecture = 12, ProcessorType = 0;
#elif defined(__arm__)
constexpr quint32 Architecture = 5, ProcessorType = 0;
#else
constexpr quint32 Architecture = 0xFFFF, ProcessorType = 0;
#endif

bool isThisComputer(const QString &computer)
{
    const QString name = computer.trimmed();
    return name.isEmpty() || name == u'.' || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || name.compare(hostName(), Qt::CaseInsensitive) == 0;
}

// A query may only name properties of its class; the owner fields are not
// properties of a process but the answer of a separate question.
bool namesProcessProperties(const WqlQuery &query)
{
    const int ownerFields = 2;
    for (const QString &name : query.properties()) {
        bool known = false;
        for (int i = 0; i < processFieldCount() - ownerFields && !known; ++i)
            known = name.compare(processFieldName(i), Qt::CaseInsensitive) == 0;
        if (!known)
            return false;
    }
    return true;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

clsSysInfo::clsSysInfo(QObject *parent)
    : clsSysInfo(SysInfoSources(), parent)
{
}

clsSysInfo::clsSysInfo(const SysInfoSources &sources, QObject *parent)
    : QObject(parent)
    , m_sources(sources)
{
}

clsSysInfo::~clsSysInfo() = default;

SYSTEM_INFO clsSysInfo::SystemInformation() const
{
    SYSTEM_INFO info;
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    info.dwOemID = Architecture;
    info.dwPageSize = quint32(pageSize);
    info.lpMinimumApplicationAddress = readWhole(QStringLiteral("/proc/sys/vm/mmap_min_addr")).trimmed().toUInt();
    info.lpMaximumApplicationAddress = sizeof(void *) > 4 ? 0xFFFFFFFFu : 0xBFFFFFFFu; // the 64-bit top does not fit
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        for (int i = 0; i < 32; ++i) {
            if (CPU_ISSET(i, &cpus))
                info.dwActiveProcessorMask |= 1u << i;
        }
    }
    info.dwNumberOrfProcessors = quint32(qMax(1L, ::sysconf(_SC_NPROCESSORS_ONLN)));
    info.dwProcessorType = ProcessorType;
    info.dwAllocationGranularity = quint32(pageSize); // mappings start on any page
    return info;
}

qint32 clsSysInfo::GetSerialNumber(const QString &StrDrive) const
{
    MountedDrive drive;
    if (StrDrive.isEmpty() || !findDrive(mapDrives(readWhole(m_sources.mountTable)), StrDrive[0], drive))
        return 0;
    return qint32(serialFromUuid(volumeNames(m_sources.diskLinks, drive).uuid));
}

QList<ProcessInfo> clsSysInfo::GetProcessInformation(qint32 &retCount, qint32 ProcessID, const QString &ProcessExeName,
                                                     const QString &ProcessExePath,
                                                     const QString &SelfDefinedWhereClause,
                                                     const QString &Computer) const
{
    QList<ProcessInfo> result;
    retCount = -1;
    if (!isThisComputer(Computer))
        return result;
    QString filter;
    if (ProcessID != -1)
        filter = QStringLiteral(" where ProcessID = %1").arg(ProcessID);
    else if (!SelfDefinedWhereClause.isEmpty())
        filter = u' ' + SelfDefinedWhereClause;
    const WqlQuery query = WqlQuery::parse(QStringLiteral("Select * from Win32_Process") + filter);
    if (!query.isValid() || !namesProcessProperties(query))
        return result;

    const QString namePattern = ProcessExeName.toLower(), pathPattern = ProcessExePath.toLower();
    const QString domain = hostName();
    // The name pattern, else the path pattern; a process without the value
    // (a kernel thread has no executable) matches no pattern.
    const bool byName = !namePattern.isEmpty();
    const QString pattern = byName ? namePattern : pathPattern;
    const QString patternProperty = byName ? QStringLiteral("Name") : QStringLiteral("ExecutablePath");
    for (const ProcessEntry &entry : readProcesses(query, ProcessID)) {
        if (!pattern.isEmpty()) {
            const QVariant value = entry.properties.value(patternProperty);
            if (!value.isValid() || !matchesPattern(value.toString().toLower(), pattern, FileNamePattern))
                continue;
        }
        ProcessInfo info = processInfoFrom(entry.properties);
        info.p_ProcessOwnerDomain = domain;
        info.p_ProcessOwnerUser = userName(entry.owner);
        result.append(info);
    }
    retCount = qint32(result.size()) - 1;
    return result;
}

QString clsSysInfo::GetIPAddress(const QString &HostComputer)
{
    const AddressLookup lookup = lookUpAddress(HostComputer);
    if (!lookup.message.isEmpty())
        emit message(lookup.message);
    return lookup.address;
}

QVariant clsSysInfo::LoggedUser() const
{
    return userName(::geteuid());
}

QString clsSysInfo::NetUser() const
{
    return loginName();
}

QString clsSysInfo::ComputerName() const
{
    return hostName();
}

QVariant clsSysInfo::GetProcessInfo(const ProcessInfo &PrcInfo, qint32 Index) const
{
    return processField(PrcInfo, Index);
}

DriveInfo clsSysInfo::GetDriveInfo(QString StrDrive) const
{
    DriveInfo info;
    const WqlQuery query = WqlQuery::parse(QStringLiteral("Select * from Win32_LogicalDisk where deviceid = '")
                                           + StrDrive.left(1) + QStringLiteral(":'"));
    for (const WmiObject &disk : readLogicalDisks(m_sources.mountTable, m_sources.diskLinks, query))
        info = driveInfoFrom(disk); // the last one wins
    return info;
}

QString clsSysInfo::FormatBytes(double Bytes)
{
    static const char *const units[] = {" Bytes", " KB", " MB", " GB"};
    int unit = 0;
    while (Bytes > 1024 && unit < 3) {
        Bytes /= 1024;
        ++unit;
    }
    return QLocale().toString(Bytes, 'f', 2) + QLatin1String(units[unit]);
}

qint32 clsSysInfo::GetProcessInfoNameCount() const
{
    return processFieldCount() - 1;
}

QString clsSysInfo::GetProcessInfoName(qint32 Index) const
{
    return processFieldName(Index);
}
