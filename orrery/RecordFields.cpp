#include "RecordFields.h"

#include <cmath>
#include <iterator>
#include <variant>

namespace orrery {

namespace {

// Conversions of a property value to a field's type, as the variant rules of
// the records' callers do them; false when the value does not convert (null,
// not a number, out of range, not a date).
bool convert(const QVariant &v, QString &out)
{
    if (!v.isValid() || !v.canConvert<QString>())
        return false;
    out = v.toString();
    return true;
}

bool convert(const QVariant &v, double &out)
{
    if (!v.isValid())
        return false;
    if (v.typeId() == QMetaType::Bool) {
        out = v.toBool() ? -1 : 0;
        return true;
    }
    bool ok = false;
    out = v.toDouble(&ok);
    return ok && std::isfinite(out);
}

template<typename Whole>
bool convertWhole(const QVariant &v, Whole &out)
{
    double value = 0;
    if (!convert(v, value))
        return false;
    value = std::nearbyint(value); // halves to even
    if (value < std::numeric_limits<Whole>::min() || value > std::numeric_limits<Whole>::max())
        return false;
    out = Whole(value);
    return true;
}

bool convert(const QVariant &v, qint32 &out) { return convertWhole(v, out); }
bool convert(const QVariant &v, qint16 &out) { return convertWhole(v, out); }

bool convert(const QVariant &v, bool &out)
{
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            out = text.size() == 4;
            return true;
        }
    }
    double value = 0;
    if (!convert(v, value))
        return false;
    out = value != 0;
    return true;
}

bool convert(const QVariant &v, QDateTime &out)
{
    if (v.typeId() != QMetaType::QDateTime && v.typeId() != QMetaType::QString)
        return false;
    const QDateTime date = v.toDateTime();
    if (!date.isValid())
        return false;
    out = date;
    return true;
}

bool convert(const QVariant &v, std::array<qint16, 8> &out)
{
    if (v.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList list = v.toList();
    for (int i = 0; i < 8 && i < list.size(); ++i)
        convert(list[i], out[i]);
    return true;
}

using ProcessMember = std::variant<QString ProcessInfo::*, qint32 ProcessInfo::*, double ProcessInfo::*,
                                   QDateTime ProcessInfo::*>;

struct ProcessField
{
    const char *name;
    ProcessMember member;
};

const ProcessField processFields[] = {
    {"Caption", &ProcessInfo::p_Caption},
    {"CommandLine", &ProcessInfo::p_CommandLine},
    {"CreationClassName", &ProcessInfo::p_CreationClassName},
    {"CreationDate", &ProcessInfo::p_CreationDate},
    {"CSCreationClassName", &ProcessInfo::p_CSCreationClassName},
    {"CSName", &ProcessInfo::p_CSName},
    {"Description", &ProcessInfo::p_Description},
    {"ExecutablePath", &ProcessInfo::p_ExecutablePath},
    {"ExecutionState", &ProcessInfo::p_ExecutionState},
    {"Handle", &ProcessInfo::p_Handle},
    {"HandleCount", &ProcessInfo::p_HandleCount},
    {"InstallDate", &ProcessInfo::p_InstallDate},
    {"KernelModeTime", &ProcessInfo::p_KernelModeTime},
    {"MaximumWorkingSetSize", &ProcessInfo::p_MaximumWorkingSetSize},
    {"MinimumWorkingSetSize", &ProcessInfo::p_MinimumWorkingSetSize},
    {"Name", &ProcessInfo::p_Name},
    {"OSCreationClassName", &ProcessInfo::p_OSCreationClassName},
    {"OSName", &ProcessInfo::p_OSName},
    {"OtherOperationCount", &ProcessInfo::p_OtherOperationCount},
    {"OtherTransferCount", &ProcessInfo::p_OtherTransferCount},
    {"PageFaults", &ProcessInfo::p_PageFaults},
    {"PageFileUsage", &ProcessInfo::p_PageFileUsage},
    {"ParentProcessId", &ProcessInfo::p_ParentProcessId},
    {"PeakPageFileUsage", &ProcessInfo::p_PeakPageFileUsage},
    {"PeakVirtualSize", &ProcessInfo::p_PeakVirtualSize},
    {"PeakWorkingSetSize", &ProcessInfo::p_PeakWorkingSetSize},
    {"Priority", &ProcessInfo::p_Priority},
    {"PrivatePageCount", &ProcessInfo::p_PrivatePageCount},
    {"ProcessId", &ProcessInfo::p_ProcessId},
    {"QuotaNonPagedPoolUsage", &ProcessInfo::p_QuotaNonPagedPoolUsage},
    {"QuotaPagedPoolUsage", &ProcessInfo::p_QuotaPagedPoolUsage},
    {"QuotaPeakNonPagedPoolUsage", &ProcessInfo::p_QuotaPeakNonPagedPoolUsage},
    {"QuotaPeakPagedPoolUsage", &ProcessInfo::p_QuotaPeakPagedPoolUsage},
    {"ReadOperationCount", &ProcessInfo::p_ReadOperationCount},
    {"ReadTransferCount", &ProcessInfo::p_ReadTransferCount},
    {"SessionId", &ProcessInfo::p_SessionId},
    {"Status", &ProcessInfo::p_Status},
    {"TerminationDate", &ProcessInfo::p_TerminationDate},
    {"ThreadCount", &ProcessInfo::p_ThreadCount},
    {"UserModeTime", &ProcessInfo::p_UserModeTime},
    {"VirtualSize", &ProcessInfo::p_VirtualSize},
    {"WindowsVersion", &ProcessInfo::p_WindowsVersion},
    {"WorkingSetSize", &ProcessInfo::p_WorkingSetSize},
    {"WriteOperationCount", &ProcessInfo::p_WriteOperationCount},
    {"WriteTransferCount", &ProcessInfo::p_WriteTransferCount},
    {"ProcessOwnerDomain", &ProcessInfo::p_ProcessOwnerDomain},
    {"ProcessOwnerUser", &ProcessInfo::p_ProcessOwnerUser},
};

using DriveMember = std::variant<qint16 DriveInfo::*, qint32 DriveInfo::*, double DriveInfo::*, QString DriveInfo::*,
                                 bool DriveInfo::*, QDateTime DriveInfo::*, std::array<qint16, 8> DriveInfo::*>;

struct DriveField
{
    const char *name;
    DriveMember member;
};

const DriveField driveFields[] = {
    {"Access", &DriveInfo::di_Access},
    {"Availability", &DriveInfo::di_Availability},
    {"BlockSize", &DriveInfo::di_BlockSize},
    {"Caption", &DriveInfo::di_Caption},
    {"Compressed", &DriveInfo::di_Compressed},
    {"ConfigManagerErrorCode", &DriveInfo::di_ConfigManagerErrorCode},
    {"ConfigManagerUserConfig", &DriveInfo::di_ConfigManagerUserConfig},
    {"CreationClassName", &DriveInfo::di_CreationClassName},
    {"Description", &DriveInfo::di_Description},
    {"DeviceID", &DriveInfo::di_DeviceID},
    {"DriveType", &DriveInfo::di_DriveType},
    {"ErrorCleared", &DriveInfo::di_ErrorCleared},
    {"ErrorDescription", &DriveInfo::di_ErrorDescription},
    {"ErrorMethodology", &DriveInfo::di_ErrorMethodology},
    {"FileSystem", &DriveInfo::di_FileSystem},
    {"FreeSpace", &DriveInfo::di_FreeSpace},
    {"InstallDate", &DriveInfo::di_InstallDate},
    {"LastErrorCode", &DriveInfo::di_LastErrorCode},
    {"MaximumComponentLength", &DriveInfo::di_MaximumComponentLength},
    {"MediaType", &DriveInfo::di_MediaType},
    {"Name", &DriveInfo::di_Name},
    {"NumberOfBlocks", &DriveInfo::di_NumberOfBlocks},
    {"PNPDeviceID", &DriveInfo::di_PNPDeviceID},
    {"PowerManagementCapabilities", &DriveInfo::di_PowerManagementCapabilities},
    {"PowerManagementSupported", &DriveInfo::di_PowerManagementSupported},
    {"ProviderName", &DriveInfo::di_ProviderName},
    {"Purpose", &DriveInfo::di_Purpose},
    {"QuotasDisabled", &DriveInfo::di_QuotasDisabled},
    {"QuotasIncomplete", &DriveInfo::di_QuotasIncomplete},
    {"QuotasRebuilding", &DriveInfo::di_QuotasRebuilding},
    {"Size", &DriveInfo::di_Size},
    {"Status", &DriveInfo::di_Status},
    {"StatusInfo", &DriveInfo::di_StatusInfo},
    {"SupportsDiskQuotas", &DriveInfo::di_SupportsDiskQuotas},
    {"SupportsFileBasedCompression", &DriveInfo::di_SupportsFileBasedCompression},
    {"SystemCreationClassName", &DriveInfo::di_SystemCreationClassName},
    {"SystemName", &DriveInfo::di_SystemName},
    {"VolumeDirty", &DriveInfo::di_VolumeDirty},
    {"VolumeName", &DriveInfo::di_VolumeName},
    {"VolumeSerialNumber", &DriveInfo::di_VolumeSerialNumber},
};

template<typename Record, typename Fields>
Record recordFrom(const WmiObject &properties, const Fields &fields)
{
    Record record;
    for (const auto &field : fields) {
        const QVariant value = properties.value(QLatin1String(field.name));
        std::visit([&](auto member) { convert(value, record.*member); }, field.member);
    }
    return record;
}

} // namespace

int processFieldCount()
{
    return int(std::size(processFields));
}

QString processFieldName(int index)
{
    return index >= 0 && index < processFieldCount() ? QLatin1String(processFields[index].name) : QString();
}

QVariant processField(const ProcessInfo &info, int index)
{
    if (index < 0 || index >= processFieldCount())
        return {};
    return std::visit([&](auto member) { return QVariant::fromValue(info.*member); }, processFields[index].member);
}

ProcessInfo processInfoFrom(const WmiObject &properties)
{
    return recordFrom<ProcessInfo>(properties, processFields);
}

QStringList driveFieldNames()
{
    QStringList names;
    for (const DriveField &field : driveFields)
        names.append(QLatin1String(field.name));
    return names;
}

DriveInfo driveInfoFrom(const WmiObject &properties)
{
    return recordFrom<DriveInfo>(properties, driveFields);
}

} // namespace orrery
