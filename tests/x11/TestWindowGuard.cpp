// Whatever another program does to a window of the shell, it is back in place within 100 ms.
#include "X11TestKit.h"

#include "WindowGuard.h"
#include "frmShowLoading.h"
#include "playtime/frmPassword.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <X11/Xlib.h>

class TestWindowGuard : public QObject
{
    Q_OBJECT

private slots:
    void backInPlace_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<QString>("action"); // xdotool's, on the window %1 or its frame %2
        for (const QString action : {"windowunmap %1", "windowminimize %1", "windowmove -- %2 -5000 -5000"}) {
            QTest::newRow(qPrintable("dialog: " + action)) << true << action;
            QTest::newRow(qPrintable("loading screen: " + action)) << false << action;
        }
    }

    void backInPlace()
    {
        QFETCH(bool, dialog);
        QFETCH(QString, action);
        WindowGuard guard;
        std::unique_ptr<QWidget> window(dialog ? static_cast<QWidget *>(new frmPassword) : new frmShowLoading);
        window->show();
        const Window id = window->winId(); // where another program sees it; null while unmapped:
        const auto where = [id, dpy = x11kit::display()]() {
            XWindowAttributes attrs;
            Window child = 0;
            int x = 0, y = 0;
            const bool shown = XGetWindowAttributes(dpy, id, &attrs) && attrs.map_state == IsViewable;
            return shown && XTranslateCoordinates(dpy, id, attrs.root, 0, 0, &x, &y, &child) ? QPoint(x, y) : QPoint();
        };
        QVERIFY(x11kit::waitUntil([&] { return !where().isNull(); }));
        QTest::qWait(300); // the window manager has placed it for good
        const QPoint place = where();
        QVERIFY(x11kit::xdotool(action.arg(id).arg(x11kit::frameOf(id)).split(QLatin1Char(' '))));
        QElapsedTimer back;
        back.start();
        QVERIFY(x11kit::waitUntil([&] { return where() == place; }, 2000));
        qInfo("back in place after %lld ms", back.elapsed()); // the aim is 100 ms; timing is not asserted here
    }
};

QTEST_MAIN(TestWindowGuard)
#include "TestWindowGuard.moc"
