#pragma once

#include <QDateTime>
#include <QString>

#include <array>

// The records that clsSysInfo returns. Callers copy them whole, so the order,
// names and types of the fields are part of the library's interface.

// The processor and memory layout, in the 32-bit form the callers were written for.
struct SYSTEM_INFO
{
    quint32 dwOemID = 0;
    quint32 dwPageSize = 0;
    quint32 lpMinimumApplicationAddress = 0;
    quint32 lpMaximumApplicationAddress = 0;
    quint32 dwActiveProcessorMask = 0;
    quint32 dwNumberOrfProcessors = 0;
    quint32 dwProcessorType = 0;
    quint32 dwAllocationGranularity = 0;
    quint32 dwReserved = 0;
};

// One running process. An invalid date is an empty date.
struct ProcessInfo
{
    QString p_Caption;
    QString p_CommandLine;
    QString p_CreationClassName;
    QDateTime p_CreationDate;
    QString p_CSCreationClassName;
    QString p_CSName;
    QString p_Description;
    QString p_ExecutablePath;
    qint32 p_ExecutionState = 0;
    QString p_Handle;
    qint32 p_HandleCount = 0;
    QDateTime p_InstallDate;
    double p_KernelModeTime = 0;
    qint32 p_MaximumWorkingSetSize = 0;
    qint32 p_MinimumWorkingSetSize = 0;
    QString p_Name;
    QString p_OSCreationClassName;
    QString p_OSName;
    double p_OtherOperationCount = 0;
    double p_OtherTransferCount = 0;
    qint32 p_PageFaults = 0;
    qint32 p_PageFileUsage = 0;
    qint32 p_ParentProcessId = 0;
    qint32 p_PeakPageFileUsage = 0;
    double p_PeakVirtualSize = 0;
    qint32 p_PeakWorkingSetSize = 0;
    qint32 p_Priority = 0;
    double p_PrivatePageCount = 0;
    qint32 p_ProcessId = 0;
    qint32 p_QuotaNonPagedPoolUsage = 0;
    qint32 p_QuotaPagedPoolUsage = 0;
    qint32 p_QuotaPeakNonPagedPoolUsage = 0;
    qint32 p_QuotaPeakPagedPoolUsage = 0;
    double p_ReadOperationCount = 0;
    double p_ReadTransferCount = 0;
    qint32 p_SessionId = 0;
    QString p_Status;
    QDateTime p_TerminationDate;
    qint32 p_ThreadCount = 0;
    double p_UserModeTime = 0;
    double p_VirtualSize = 0;
    QString p_WindowsVersion;
    double p_WorkingSetSize = 0;
    double p_WriteOperationCount = 0;
    double p_WriteTransferCount = 0;
    QString p_ProcessOwnerDomain;
    QString p_ProcessOwnerUser;
};

// One logical drive (a drive letter). Sizes are in bytes.
struct DriveInfo
{
    qint16 di_Access = 0;
    qint16 di_Availability = 0;
    double di_BlockSize = 0;
    QString di_Caption;
    bool di_Compressed = false;
    qint32 di_ConfigManagerErrorCode = 0;
    bool di_ConfigManagerUserConfig = false;
    QString di_CreationClassName;
    QString di_Description;
    QString di_DeviceID;
    qint32 di_DriveType = 0;
    bool di_ErrorCleared = false;
    QString di_ErrorDescription;
    QString di_ErrorMethodology;
    QString di_FileSystem;
    double di_FreeSpace = 0;
    QDateTime di_InstallDate;
    qint32 di_LastErrorCode = 0;
    qint32 di_MaximumComponentLength = 0;
    qint32 di_MediaType = 0;
    QString di_Name;
    double di_NumberOfBlocks = 0;
    QString di_PNPDeviceID;
    std::array<qint16, 8> di_PowerManagementCapabilities = {};
    bool di_PowerManagementSupported = false;
    QString di_ProviderName;
    QString di_Purpose;
    bool di_QuotasDisabled = false;
    bool di_QuotasIncomplete = false;
    bool di_QuotasRebuilding = false;
    double di_Size = 0;
    QString di_Status;
    qint16 di_StatusInfo = 0;
    bool di_SupportsDiskQuotas = false;
    bool di_SupportsFileBasedCompression = false;
    QString di_SystemCreationClassName;
    QString di_SystemName;
    bool di_VolumeDirty = false;
    QString di_VolumeName;
    QString di_VolumeSerialNumber;
};
