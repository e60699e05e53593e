#pragma once

#include "SystemSource.h"

#include <clsSysInfo.h>

#include <memory>

class SystemInformation;
class clsCPUUsageNT;

// The running shell's answers: memory from SystemInformation, processor load
// from clsCPUUsageNT, drives, names and the address from Orrery.
class LiveSystemSource : public SystemSource
{
public:
    LiveSystemSource();
    ~LiveSystemSource() override;

    // Creates the processor-usage object; its first load is measured from here.
    void StartProcessorUsage();

    int MemoryLoad() override;
    qint32 ProcessorLoad() override;
    Drive DriveInfo(QChar letter) override;
    QString UserName() override;
    QString ComputerName() override;
    QString IPAddress() override;

private:
    clsSysInfo m_sysInfo;
    std::unique_ptr<SystemInformation> m_memory;
    std::unique_ptr<clsCPUUsageNT> m_cpu;
};
