#include "ScriptedDialogs.h"

#include <QFile>

#include <unistd.h>

namespace platform {

ScriptedDialogs::ScriptedDialogs(const QString &answerFile)
    : m_logFile(answerFile + QLatin1String(".shown"))
{
    QFile file(answerFile);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            m_answers.enqueue(QString::fromUtf8(line));
        }
        if (!m_answers.isEmpty() && m_answers.last().isEmpty())
            m_answers.removeLast();
    }
}

QString ScriptedDialogs::next()
{
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    m_exhausted = true;
    if (!m_logFile.isEmpty()) {
        // A scripted run that asks more than its script holds would wait
        // forever in a question loop: end it where the test can see why.
        QFile log(m_logFile);
        if (log.open(QIODevice::Append | QIODevice::WriteOnly))
            log.write("exhausted\n");
        ::_exit(97);
    }
    return QString();
}

void ScriptedDialogs::record(const Shown &shown)
{
    m_shown.append(shown);
    if (!m_logFile.isEmpty()) {
        QFile log(m_logFile);
        if (log.open(QIODevice::Append | QIODevice::WriteOnly)) {
            QString text = shown.text;
            text.replace(QLatin1String("\r\n"), QLatin1String("\\n")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
            const QString line = shown.kind + QLatin1Char('\t') + QString::number(shown.style)
                                 + QLatin1Char('\t') + shown.title + QLatin1Char('\t') + text
                                 + QLatin1Char('\n');
            log.write(line.toUtf8());
        }
    }
    if (onShow)
        onShow(shown);
}

int ScriptedDialogs::resultFromWord(const QString &word, int style)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("ok"))
        return Msg::OK;
    if (w == QLatin1String("cancel"))
        return Msg::Cancel;
    if (w == QLatin1String("yes"))
        return Msg::Yes;
    if (w == QLatin1String("no"))
        return Msg::No;
    if (w == QLatin1String("abort"))
        return Msg::Abort;
    if (w == QLatin1String("retry"))
        return Msg::Retry;
    if (w == QLatin1String("ignore"))
        return Msg::Ignore;
    // No usable answer: what closing the box would give.
    switch (style & 7) {
    case Msg::OKOnly:
        return Msg::OK;
    case Msg::YesNo:
        return Msg::No;
    default:
        return Msg::Cancel;
    }
}

int ScriptedDialogs::msgBox(const QString &text, int style, const QString &title)
{
    record(Shown{QStringLiteral("msgbox"), text, title, style, QString(), QChar()});
    return resultFromWord(next(), style);
}

QString ScriptedDialogs::inputBox(const QString &prompt, const QString &title,
                                  const QString &defaultText, QChar mask)
{
    record(Shown{QStringLiteral("inputbox"), prompt, title, 0, defaultText, mask});
    return next();
}

QString ScriptedDialogs::openFile(const QString &title, const QString &folder, const QString &filter)
{
    record(Shown{QStringLiteral("openfile"), title, filter, 0, folder, QChar()});
    return next();
}

QString ScriptedDialogs::saveFile(const QString &title, const QString &suggested, const QString &filter)
{
    record(Shown{QStringLiteral("savefile"), title, filter, 0, suggested, QChar()});
    return next();
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor &initial, QList<QColor> &customColors)
{
    record(Shown{QStringLiteral("color"), initial.name(), QString(), 0, QString(), QChar()});
    const QStringList words = next().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || !QColor::isValidColorName(words.first()))
        return std::nullopt;
    for (int i = 1; i < words.size() && i - 1 < customColors.size(); ++i)
        customColors[i - 1] = QColor::fromString(words.at(i));
    return QColor::fromString(words.first());
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont &initial)
{
    record(Shown{QStringLiteral("font"), initial.toString(), QString(), 0, QString(), QChar()});
    QFont font;
    const QString answer = next();
    if (answer.isEmpty() || !font.fromString(answer))
        return std::nullopt;
    return font;
}

} // namespace platform
