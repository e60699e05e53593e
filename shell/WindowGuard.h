#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

// In the child's session every window of the shell stays in reach: with the
// panel hidden nothing would bring back one that another program unmapped,
// iconified or moved away, and a hidden modal dialog would block the menu.
// Such a window is shown again at once, where it was.
class WindowGuard : public QObject
{
    Q_OBJECT

public:
    // Starts watching every window of the application.
    explicit WindowGuard(QObject *parent = nullptr);

    // Where a frame that is not wholly on the screens must go: the last place
    // where all of it was when known, else the nearest place on the screen it
    // is mostly on. A window mapped again goes back to its last place also
    // when the window manager put it elsewhere. No value when it may stay.
    static std::optional<QPoint> PlaceFor(const QRect &frame, const std::optional<QPoint> &lastPlace,
                                          const QList<QRect> &screens, bool mappedAgain);

private:
    void check(QWidget *window);
};
