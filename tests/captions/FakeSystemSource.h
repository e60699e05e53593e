#pragma once

#include "captions/SystemSource.h"

// Fixed answers; drive C has 1536 of 4096 bytes free, no other drive exists.
class FakeSystemSource : public SystemSource
{
public:
    int memoryLoad = 42;
    QString drivesAsked; // every letter DriveInfo was asked for, in order

    int MemoryLoad() override { return memoryLoad; }
    qint32 ProcessorLoad() override { return 17; }
    Drive DriveInfo(QChar letter) override
    {
        drivesAsked.append(letter);
        return letter == QLatin1Char('C') ? Drive{true, 1536, 4096} : Drive{};
    }
    QString UserName() override { return QStringLiteral("kim"); }
    QString ComputerName() override { return QStringLiteral("den"); }
    QString IPAddress() override { return QStringLiteral("192.0.2.7"); }
};
