#pragma once

#include <Command.h>

#include <QTest>

// A form's control by its object name. A missing one ends the run: a control
// that lost its name is a defect, not a check to skip.
template<typename T = QWidget>
T *Control(const QObject *form, const char *name)
{
    T *control = form->findChild<T *>(QLatin1String(name));
    if (!control)
        qFatal("%s has no %s named %s", qPrintable(form->objectName()), T::staticMetaObject.className(), name);
    return control;
}

// Clicks a Pellet button of a form as the mouse does.
inline void Click(const QObject *form, const char *name)
{
    QTest::mouseClick(Control<Command>(form, name), Qt::LeftButton);
}
