#include "LiveSystemSource.h"

#include "SystemInformation.h"
#include "clsCPUUsageNT.h"

LiveSystemSource::LiveSystemSource() = default;

LiveSystemSource::~LiveSystemSource() = default;

void LiveSystemSource::StartProcessorUsage()
{
    m_cpu = std::make_unique<clsCPUUsageNT>();
}

int LiveSystemSource::MemoryLoad()
{
    if (!m_memory)
        m_memory = std::make_unique<SystemInformation>();
    return m_memory->MemoryLoad();
}

qint32 LiveSystemSource::ProcessorLoad()
{
    return m_cpu ? m_cpu->Query() : -1;
}

SystemSource::Drive LiveSystemSource::DriveInfo(QChar letter)
{
    const ::DriveInfo info = m_sysInfo.GetDriveInfo(QString(letter));
    return {!info.di_DeviceID.isEmpty(), info.di_FreeSpace, info.di_Size};
}

QString LiveSystemSource::UserName()
{
    return m_sysInfo.LoggedUser().toString();
}

QString LiveSystemSource::ComputerName()
{
    return m_sysInfo.ComputerName();
}

QString LiveSystemSource::IPAddress()
{
    // A caption has no room for the library's message boxes: no address
    // simply shows nothing.
    return m_sysInfo.GetIPAddress(QString());
}
