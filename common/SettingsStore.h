#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The per-user settings store: text values addressed by application, section
// and key, kept in $XDG_CONFIG_HOME/Brindle/<application>.ini and shared by
// the shell, beeper and Farrow. Reads come from memory: the file is parsed
// again only when it changed (inode, size or modification time), and whether
// it changed is looked at no more often than every CheckEveryMs, or at the
// next read after Refresh. Writes go through at once, under a lock shared by
// all our processes, and replace the file whole.
namespace SettingsStore {

constexpr qint64 CheckEveryMs = 250;

QString filePath(const QString &application);

// The default for a missing key; also when the store cannot be read, which
// readable (when given) tells apart.
QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue = QString(), bool *readable = nullptr);
// One key; false (the file unchanged, the reason in error) when it cannot be written.
bool SaveSetting(const QString &application, const QString &section, const QString &key,
                 const QString &value, QString *error = nullptr);
bool DeleteSetting(const QString &application, const QString &section, const QString &key,
                   QString *error = nullptr);

// The next read looks at the file whatever the time since the last look: a
// clock tick calls it so that it sees what other processes wrote since.
void Refresh(const QString &application);

// Several keys of one application changed together: one rewrite of the file.
class Change
{
public:
    explicit Change(const QString &application);

    Change &set(const QString &section, const QString &key, const QString &value);
    Change &remove(const QString &section, const QString &key);
    bool isEmpty() const { return m_edits.isEmpty(); }

    // All or nothing: false (the file unchanged, the reason in error) when
    // the store cannot be read or written. A change that alters nothing
    // writes nothing.
    bool save(QString *error = nullptr) const;

private:
    struct Edit {
        QString section;
        QString key;
        std::optional<QString> value; // none: remove the key
    };
    QString m_application;
    QList<Edit> m_edits;
};

// Dates are stored as local ISO 8601; the locale's own forms are read too.
QString FormatDate(const QDateTime &when);
QDateTime ParseDate(const QString &text); // invalid when the text is no date

} // namespace SettingsStore
