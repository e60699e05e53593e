#include "WindowGuard.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

bool WindowGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        auto *window = qobject_cast<QWidget *>(watched);
        if (window && window->isWindow() && (window->windowState() & Qt::WindowMinimized)) {
            // After the state change has been handled, not inside it.
            QTimer::singleShot(0, window, [window] {
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->show();
                window->raise();
                window->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
