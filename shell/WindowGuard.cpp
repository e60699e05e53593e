#include "WindowGuard.h"

#include "platform/Services.h"

#include <Clock.h>

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QWidget>

namespace {

// The dynamic property that holds a window's last place wholly on screen.
const char *const PlaceProperty = "brindleGuardPlace";
// Until when (steady clock) a window that was mapped again goes back to its
// place wherever the window manager puts it while it manages it anew.
const char *const RemapProperty = "brindleGuardRemapped";
constexpr qint64 SettleMs = 500;

} // namespace

WindowGuard::WindowGuard(QObject *parent)
    : QObject(parent)
{
    platform::Services::ownWindows().watch([this](QWidget *window) { check(window); });
}

std::optional<QPoint> WindowGuard::PlaceFor(const QRect &frame, const std::optional<QPoint> &lastPlace,
                                            const QList<QRect> &screens, bool mappedAgain)
{
    QRegion onScreen;
    for (const QRect &screen : screens)
        onScreen += screen;
    const auto fits = [&onScreen](const QRect &rect) { return onScreen.intersected(rect) == QRegion(rect); };
    QPoint place;
    if (screens.isEmpty() || (fits(frame) && !mappedAgain)) {
        return std::nullopt;
    } else if (lastPlace && fits(QRect(*lastPlace, frame.size()))) {
        place = *lastPlace;
    } else if (fits(frame)) {
        return std::nullopt;
    } else {
        QRect home = screens.first();
        const auto area = [&frame](const QRect &screen) {
            return (screen & frame).width() * (screen & frame).height();
        };
        for (const QRect &screen : screens)
            if (area(screen) > area(home))
                home = screen;
        // A frame larger than the screen keeps its top-left corner on it.
        place = QPoint(std::max(home.left(), std::min(frame.left(), home.right() + 1 - frame.width())),
                       std::max(home.top(), std::min(frame.top(), home.bottom() + 1 - frame.height())));
    }
    if (place == frame.topLeft())
        return std::nullopt; // nowhere better to go
    return place;
}

void WindowGuard::check(QWidget *window)
{
    // Qt's own hiding, pop-up menus and tool tips come and go as they should.
    if (!window->isVisible() || (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog))
        return;
    auto &own = platform::Services::ownWindows();
    const QVariant last = window->property(PlaceProperty);
    const std::optional<QPoint> lastPlace = last.isValid() ? std::optional<QPoint>(last.toPoint()) : std::nullopt;
    const std::optional<QRect> frame = own.frameOf(window);
    if (!frame) {
        window->setProperty(RemapProperty, Clock::steadyMs() + SettleMs);
        own.showAt(window, lastPlace);
        return;
    }
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    const bool settling = Clock::steadyMs() < window->property(RemapProperty).toLongLong();
    if (const std::optional<QPoint> place = PlaceFor(*frame, lastPlace, screens, settling))
        own.showAt(window, *place);
    else
        window->setProperty(PlaceProperty, frame->topLeft());
}
