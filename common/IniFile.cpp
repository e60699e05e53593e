#include "IniFile.h"

#include "AtomicFile.h"
#include "Cp1252.h"

#include <QFile>

IniFile::IniFile(const QString &path, Encoding encoding)
    : m_path(path)
    , m_encoding(encoding)
{
}

bool IniFile::load()
{
    m_sections.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parse(file.readAll());
    return true;
}

void IniFile::parse(const QByteArray &bytes)
{
    m_sections.clear();
    const QString text = m_encoding == Encoding::Cp1252 ? Cp1252::decode(bytes)
                                                         : QString::fromUtf8(bytes);
    m_sections.append(Section{});
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString raw = lines.at(i);
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        if (i == lines.size() - 1 && raw.isEmpty())
            break; // the final line end
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed();
            m_sections.append(Section{name, {}});
            continue;
        }
        Line line;
        line.raw = raw;
        const int eq = raw.indexOf(QLatin1Char('='));
        if (!trimmed.startsWith(QLatin1Char(';')) && eq > 0) {
            line.key = raw.left(eq).trimmed();
            line.value = raw.mid(eq + 1).trimmed();
        }
        m_sections.last().lines.append(line);
    }
}

QByteArray IniFile::serialize() const
{
    QString text;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        const Section &section = m_sections.at(i);
        if (i > 0)
            text += QLatin1Char('[') + section.name + QLatin1String("]\r\n");
        for (const Line &line : section.lines) {
            text += line.key.isEmpty() ? line.raw : line.key + QLatin1Char('=') + line.value;
            text += QLatin1String("\r\n");
        }
    }
    return m_encoding == Encoding::Cp1252 ? Cp1252::encode(text) : text.toUtf8();
}

bool IniFile::save(QString *error) const
{
    return AtomicFile::write(m_path, serialize(), error);
}

IniFile::Section *IniFile::findSection(const QString &name)
{
    // Index 0 holds the lines before the first section header.
    for (qsizetype i = 1; i < m_sections.size(); ++i)
        if (m_sections.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return &m_sections[i];
    return nullptr;
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    return const_cast<IniFile *>(this)->findSection(name);
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const Section *s = findSection(section))
        for (const Line &line : s->lines)
            if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0)
                return line.value.left(MaxValueLength);
    return defaultValue;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    if (const Section *s = findSection(section))
        for (const Line &line : s->lines)
            if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    // Values are single-line; a line break would split the entry on the next read.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_sections.isEmpty())
        m_sections.append(Section{});
    Section *s = findSection(section);
    if (!s) {
        m_sections.append(Section{section, {}});
        s = &m_sections.last();
    }
    for (Line &line : s->lines) {
        if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0) {
            line.value = clean;
            return;
        }
    }
    // Keep new keys ahead of trailing blank lines of the section.
    int at = int(s->lines.size());
    while (at > 0 && s->lines.at(at - 1).key.isEmpty() && s->lines.at(at - 1).raw.trimmed().isEmpty())
        --at;
    s->lines.insert(at, Line{key, clean, QString()});
}

void IniFile::remove(const QString &section, const QString &key)
{
    if (Section *s = findSection(section))
        s->lines.removeIf([&](const Line &line) {
            return !line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0;
        });
}

void IniFile::removeSection(const QString &section)
{
    for (qsizetype i = 1; i < m_sections.size(); ++i) {
        if (m_sections.at(i).name.compare(section, Qt::CaseInsensitive) == 0) {
            m_sections.removeAt(i);
            return;
        }
    }
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *s = findSection(section))
        for (const Line &line : s->lines)
            if (!line.key.isEmpty())
                names.append(line.key);
    return names;
}
