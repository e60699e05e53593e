#pragma once

#include <QDateTime>
#include <QString>

// The per-user settings store: text values addressed by application, section
// and key, kept in $XDG_CONFIG_HOME/Brindle/<application>.ini. Every read goes
// to the file, because another process (the shell, beeper) may have changed it;
// every write goes through at once, under a lock shared by all our processes.
namespace SettingsStore {

QString filePath(const QString &application);

// The default for a missing key; also when the store cannot be read, which
// readable (when given) tells apart.
QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue = QString(), bool *readable = nullptr);
bool SaveSetting(const QString &application, const QString &section, const QString &key,
                 const QString &value);
bool DeleteSetting(const QString &application, const QString &section, const QString &key);

// Dates are stored as local ISO 8601; the locale's own forms are read too.
QString FormatDate(const QDateTime &when);
QDateTime ParseDate(const QString &text); // invalid when the text is no date

} // namespace SettingsStore
