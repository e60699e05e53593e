#pragma once

#include <QObject>

// In the child's session no window of the shell may be iconified: with the
// menu's panel hidden nothing would bring it back, and a hidden modal dialog
// would block the menu. A window that gets minimised comes back at once.
class WindowGuard : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
