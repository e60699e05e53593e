// bench_pellet: how long a full repaint of Command buttons takes.
//
// Measures one 200 x 80 button with picture and caption repainted synchronously
// (composition, copy to the window and flush), and a form holding 100 such buttons that
// are all asked to ReDraw and then painted in one pass of the event loop, as a host
// refreshing its buttons does; the same again with transparent buttons over a painted
// background. Paint events are counted so that a pass that paints nothing is noticed.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//   bench_pellet [repaints-of-one-button] [repaints-of-the-form]

#include "Command.h"

#include <QApplication>
#include <QEvent>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QPixmap samplePicture()
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 190, 20));
    p.setPen(QPen(QColor(200, 120, 0), 2));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    return QPixmap::fromImage(img);
}

class GradientForm : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), height());
        g.setColorAt(0, QColor(60, 120, 200));
        g.setColorAt(1, QColor(200, 120, 60));
        p.fillRect(rect(), g);
    }
};

class PaintCounter : public QObject
{
public:
    long long count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

PaintCounter paints;

Command *makeButton(QWidget *parent, const QPixmap &picture, int index)
{
    auto *b = new Command(parent);
    b->installEventFilter(&paints);
    b->setGeometry((index % 10) * 200, (index / 10) * 80, 200, 80);
    b->setPicture(picture);
    b->setCaption(QStringLiteral("Button number %1").arg(index + 1));
    return b;
}

// Median of `rounds` timings of `runs` calls each, in microseconds per call.
template <typename F>
double microsecondsPerCall(int runs, int rounds, F &&call)
{
    std::vector<double> results;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < runs; ++i)
            call();
        results.push_back(double(timer.nsecsElapsed()) / 1000.0 / runs);
    }
    std::sort(results.begin(), results.end());
    return results[results.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int singleRuns = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const int formRuns = argc > 2 ? std::max(1, atoi(argv[2])) : 100;
    const QPixmap picture = samplePicture();

    QWidget single;
    single.resize(200, 80);
    Command *one = makeButton(&single, picture, 0);
    single.show();
    QApplication::processEvents();
    const double oneUs = microsecondsPerCall(singleRuns, 5, [&] { one->repaint(); });

    auto refreshAll = [](const QList<Command *> &buttons) {
        for (Command *b : buttons)
            b->ReDraw();
        QApplication::processEvents();
    };

    QWidget form;
    form.resize(2000, 800);
    QList<Command *> buttons;
    for (int i = 0; i < 100; ++i)
        buttons.append(makeButton(&form, picture, i));
    form.show();
    QApplication::processEvents();
    paints.count = 0;
    const double formUs = microsecondsPerCall(formRuns, 5, [&] { refreshAll(buttons); });
    const double formPaints = double(paints.count) / (5.0 * formRuns);
    form.hide();

    GradientForm clearForm;
    clearForm.resize(2000, 800);
    QList<Command *> clearButtons;
    for (int i = 0; i < 100; ++i) {
        clearButtons.append(makeButton(&clearForm, picture, i));
        clearButtons.last()->setButtonType(Command::BType::Transparent);
    }
    clearForm.show();
    QApplication::processEvents();
    paints.count = 0;
    const double clearUs = microsecondsPerCall(formRuns, 5, [&] { refreshAll(clearButtons); });
    const double clearPaints = double(paints.count) / (5.0 * formRuns);

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("one 200x80 button, picture and caption: %8.1f us per repaint\n", oneUs);
    std::printf("form of 100 such buttons:               %8.1f us per repaint (%.1f us per button, %.0f paints)\n",
                formUs, formUs / 100.0, formPaints);
    std::printf("form of 100 transparent buttons:        %8.1f us per repaint (%.1f us per button, %.0f paints)\n",
                clearUs, clearUs / 100.0, clearPaints);
    const bool painted = formPaints >= 100.0 && clearPaints >= 100.0;
    std::printf("target, 100 buttons under 16000 us:     %s\n",
                !painted ? "not measured (buttons were not painted)" : formUs < 16000.0 ? "met" : "MISSED");
    return painted ? 0 : 1;
}
