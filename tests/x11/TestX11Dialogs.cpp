// The shell's windows under the session's openbox: dialogs wear a frame with
// their caption and a close box that reaches their close question, and no
// window menu; the menu and the loading screen have none.
#include "MenuTestKit.h"
#include "X11TestKit.h"

#include "frmMenu.h"
#include "frmShowLoading.h"
#include "menu/frmButton.h"

#include <QApplication>
#include <QtTest>

namespace {

// Left, right, top, bottom, once the window manager has framed the window.
QList<unsigned long> frameExtents(QWidget &window)
{
    x11kit::waitUntil([&] { return x11kit::property(window.winId(), "_NET_FRAME_EXTENTS").size() == 4; });
    return x11kit::property(window.winId(), "_NET_FRAME_EXTENTS");
}

bool click(const QPoint &at, int button)
{
    return x11kit::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                            QStringLiteral("click"), QString::number(button)});
}

} // namespace

class TestX11Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the private X server of run-under-xvfb");
        // The session's configuration knows the shell's windows by their class.
        QApplication::setApplicationName(QStringLiteral("Brindle"));
    }
    void init() { m_world = std::make_unique<MenuWorld>(); }
    void cleanup() { m_world.reset(); }

    void closeBoxAsks()
    {
        frmButton dialog(std::nullopt);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // A title bar above the dialog; its buttons are the frame's small
        // windows there: maximise and close, no minimise, no window menu.
        const QList<unsigned long> extents = frameExtents(dialog);
        const int title = int(extents.value(2)) - int(extents.value(0));
        QVERIFY2(title >= 12, "no title bar");
        const int top = dialog.mapToGlobal(QPoint(0, 0)).y();
        QList<QRect> buttons;
        for (const QRect &r : x11kit::viewableInside(x11kit::frameOf(dialog.winId())))
            if (r.bottom() < top && r.width() >= 6 && r.width() < title && r.height() >= 6 && r.height() < title)
                buttons.append(r);
        QCOMPARE(buttons.size(), 2);
        const QPoint closeBox = std::max(buttons.at(0), buttons.at(1), [](QRect a, QRect b) { return a.x() < b.x(); })
                                    .center();

        // Right and middle clicks on the title bar open nothing.
        const qsizetype shown = x11kit::viewableTopLevels().size();
        QVERIFY(click(closeBox - QPoint(100, 0), 3) && click(closeBox - QPoint(100, 0), 2));
        QTest::qWait(300);
        QCOMPARE(x11kit::viewableTopLevels().size(), shown);

        // The close box reaches the dialog's own close question.
        m_world->dialogs->answer(QStringLiteral("OK"));
        QVERIFY(click(closeBox, 1));
        QVERIFY(x11kit::waitUntil([&] { return !dialog.isVisible(); }));
        QCOMPARE(m_world->dialogs->shown().value(0).text, QStringLiteral("Skip changes?"));
    }

    void menuAndLoadingScreenHaveNoFrame()
    {
        frmShowLoading loading;
        frmMenu menu(nullptr, &m_world->prompts);
        for (QWidget *window : {static_cast<QWidget *>(&loading), static_cast<QWidget *>(&menu)}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QCOMPARE(frameExtents(*window), QList<unsigned long>(4, 0));
        }
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestX11Dialogs)
#include "TestX11Dialogs.moc"
