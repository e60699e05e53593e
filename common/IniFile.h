#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A small reader/writer of the common initialisation-file syntax:
// "[section]" lines, "key=value" lines, ";" comments. Section and key names
// match without regard to letter case; values are trimmed and limited to
// 2047 characters on read. Comments and unknown lines survive a rewrite.
// Saving replaces the file atomically and ends lines with CR LF.
class IniFile
{
public:
    enum class Encoding { Cp1252, Utf8 };
    static constexpr int MaxValueLength = 2047;

    explicit IniFile(const QString &path, Encoding encoding = Encoding::Cp1252);

    // Reads the file; a missing file gives an empty document and true.
    bool load();
    bool save(QString *error = nullptr) const;

    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    bool contains(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void remove(const QString &section, const QString &key);
    void removeSection(const QString &section);

    QStringList keys(const QString &section) const;

    QString path() const { return m_path; }
    QByteArray serialize() const;
    void parse(const QByteArray &bytes);

private:
    struct Line {
        QString key;   // empty for comments and unknown lines
        QString value;
        QString raw;
    };
    struct Section {
        QString name;  // empty for lines before the first section
        QList<Line> lines;
    };

    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;

    QString m_path;
    Encoding m_encoding;
    QList<Section> m_sections;
};
