#pragma once

#include "SysInfoRecords.h"
#include "orrery_export.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

// Where clsSysInfo finds the mounted file systems and the names of their
// volumes; another place serves tests and diagnosis.
struct SysInfoSources
{
    QString mountTable = QStringLiteral("/proc/self/mountinfo");
    QString diskLinks = QStringLiteral("/dev/disk"); // with by-uuid/ and by-label/
};

// Answers questions about this computer: processor and memory layout, running
// processes and their owners, drives and their volumes, the network address,
// the user and computer names. Every call reads afresh and keeps nothing, and
// none throws: what cannot be read gives an empty answer. Drive letters stand
// for mounted file systems: C for the root file system, D onwards for the
// other file systems on block devices in mount order.
class ORRERY_EXPORT clsSysInfo : public QObject
{
    Q_OBJECT

public:
    explicit clsSysInfo(QObject *parent = nullptr);
    explicit clsSysInfo(const SysInfoSources &sources, QObject *parent = nullptr);
    ~clsSysInfo() override;

    SYSTEM_INFO SystemInformation() const;

    // The serial number of the volume of a drive letter; 0 when there is none.
    qint32 GetSerialNumber(const QString &StrDrive) const;

    // The processes that the filters keep (see the query language of the
    // library); retCount is the last index of the result, -1 when it is empty.
    // ProcessID -1 lets SelfDefinedWhereClause (" where ..." without the blank)
    // filter, any other value selects that process. ProcessExeName, else
    // ProcessExePath, is a file-name pattern ("*", "?", "#", "[a-z]", "[!0-9]")
    // for the process's name or executable path, letter case free. Computer is
    // "." (or this computer's name); other computers give an empty result.
    QList<ProcessInfo> GetProcessInformation(qint32 &retCount, qint32 ProcessID, const QString &ProcessExeName,
                                             const QString &ProcessExePath, const QString &SelfDefinedWhereClause,
                                             const QString &Computer) const;

    // The dotted IPv4 address of a host; an empty HostComputer means this
    // computer (its first address that is not a loopback, found without any
    // name service). A failure emits message() and gives an empty text.
    QString GetIPAddress(const QString &HostComputer);

    QVariant LoggedUser() const; // text: the effective user's account name
    QString NetUser() const;     // the name the session was logged in with
    QString ComputerName() const;

    // Field Index (0 to 46) of PrcInfo in a variant of the field's type; an
    // invalid variant for any other index.
    QVariant GetProcessInfo(const ProcessInfo &PrcInfo, qint32 Index) const;

    // The drive of the first character of StrDrive, letter case free; a
    // record of empty values when that letter has no drive.
    DriveInfo GetDriveInfo(QString StrDrive) const;

    // A byte count as text with two decimals, the regional grouping of the
    // default locale and the unit " Bytes", " KB", " MB" or " GB".
    static QString FormatBytes(double Bytes);

    // The highest field index of ProcessInfo (46), not the number of fields.
    qint32 GetProcessInfoNameCount() const;
    // The property name of field Index ("ProcessOwnerUser" for 46); empty
    // outside 0 to 46.
    QString GetProcessInfoName(qint32 Index) const;

signals:
    // A failure that the caller should show the user, in a plain message box.
    void message(const QString &text);

private:
    SysInfoSources m_sources;
};
