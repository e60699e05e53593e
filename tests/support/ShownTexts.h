#pragma once

#include <QStringList>
#include <QVariant>
#include <QWidget>

// Every text a person reads on a window: title, labels and captions (Pellet's
// too), group titles, tool tips.
inline QStringList ShownTexts(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    for (const QWidget *w : window->findChildren<QWidget *>())
        for (const char *name : {"text", "title", "Caption", "toolTip"})
            texts << w->property(name).toString();
    texts.removeAll(QString());
    return texts;
}
