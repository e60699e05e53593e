#include "modGlobals.h"

#include "data/SettingsFile.h"
#include "keys/modKeys.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace modGlobals {

SettingsRecord SS;
bool DebugMode = false;
bool MarkerCheckOff = false;
QString CommandLine;
bool LoadScreenVisible = false;
qint32 TimeLeftSeconds = 0;
frmMenu *MainForm = nullptr;
std::optional<VbError> DataFileError;

bool ExpiredDialogOpen = false;
QString ExpiredPasswordText;
bool ExpiredShutdownChosen = false;
bool PasswordDialogOpen = false;
QString PasswordDialogText;
bool PasswordDialogOK = false;
QString PasswordDialogTitle;

QString DlgCaption;
QString DlgQuestion;
qint32 DlgResult = 0;

qint32 EditButtonIndex = -1;

namespace {
QString g_appPath;
}

void Reset()
{
    SS = SettingsRecord();
    DebugMode = false;
    MarkerCheckOff = false;
    CommandLine.clear();
    LoadScreenVisible = false;
    TimeLeftSeconds = 0;
    MainForm = nullptr;
    DataFileError.reset();
    ExpiredDialogOpen = false;
    ExpiredPasswordText.clear();
    ExpiredShutdownChosen = false;
    PasswordDialogOpen = false;
    PasswordDialogText.clear();
    PasswordDialogOK = false;
    PasswordDialogTitle.clear();
    DlgCaption.clear();
    DlgQuestion.clear();
    DlgResult = 0;
    EditButtonIndex = -1;
    modKeys::ClearSpecialKeys();
    modKeys::SpecialKeyCapture = false;
}

QString AppPath()
{
    if (g_appPath.isEmpty()) {
        const QFileInfo exe(QStringLiteral("/proc/self/exe"));
        g_appPath = QFileInfo(exe.canonicalFilePath()).absolutePath() + QLatin1Char('/');
    }
    return g_appPath;
}

void SetAppPath(const QString &folder)
{
    g_appPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool HasSwitch(const QString &commandLine, const QString &name)
{
    return commandLine.contains(name, Qt::CaseInsensitive);
}

QString LogTimestamp()
{
    return QLocale().toString(QDateTime::currentDateTime(), QStringLiteral("dd-MMM-yy HH:mm:ss"));
}

void WriteLog(const QString &message)
{
    QFile log(AppPath() + QLatin1String("startup.log"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write((LogTimestamp() + QLatin1Char(' ') + message + QLatin1String("\r\n")).toLocal8Bit());
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

void LoadDataFiles()
{
    SS = SettingsRecord();
    DataFileError.reset();
    bool missingOrEmpty = false;
    DataFileError = SettingsFile::LoadFile(AppPath() + QLatin1String("settings.dat"), SS, &missingOrEmpty);
    // A first start, or a lost file: an empty menu, saved properly next time.
    if (!DataFileError && missingOrEmpty)
        SettingsFile::MakeClearState(SS);
    if (DataFileError) {
        WriteLog(QLatin1String("LoadDataFiles()::") + DataFileError->Description + QLatin1String(" Code ")
                 + QString::number(DataFileError->Number));
        return;
    }
    modKeys::LoadSpecialKeys(AppPath() + QLatin1String("spc_keys.dat"));
}

} // namespace modGlobals
