#pragma once

#include <QChar>
#include <QString>

// What the live captions and the information bar ask of the computer. The
// running shell answers from the kernel and the Orrery library; tests answer
// with fixed values.
class SystemSource
{
public:
    struct Drive {
        bool present = false;
        double freeSpace = 0; // bytes
        double size = 0;      // bytes
    };

    virtual ~SystemSource() = default;

    // Memory in use in percent (0-100); -1 when it cannot be read.
    virtual int MemoryLoad() = 0;
    // The processor load in percent since the previous call; -1 when unknown.
    virtual qint32 ProcessorLoad() = 0;
    // The drive of a letter (A to Z); not present when the letter has none.
    virtual Drive DriveInfo(QChar letter) = 0;
    virtual QString UserName() = 0;
    virtual QString ComputerName() = 0;
    // This computer's first address that is not a loopback; empty when none.
    virtual QString IPAddress() = 0;
};
