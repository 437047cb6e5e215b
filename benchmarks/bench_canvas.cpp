// Start-up time of the designer against a bare Qt window, and the cost of one
// pointer move while panning or dragging over a design of 1,000 components.
#include "canvas/design_canvas.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/canvas_surface.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace Plumbrook;

namespace {

int runChild(const char *mode, int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget *window = nullptr;
    if (std::strcmp(mode, "designer") == 0) {
        window = new MainWindow;
    } else {
        window = new QWidget;
        // The floor any window showing the program's text pays: the font database and
        // the first Chinese text laid out and drawn.
        if (std::strcmp(mode, "label") == 0)
            new QLabel(QStringLiteral("欢迎使用Vantric自由布局"), window);
    }
    window->resize(1000, 650);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    delete window;
    return 0;
}

// The median time to "shown" of each mode's child, seven of each started in turn, so
// that a change in the machine's load falls on every mode alike; -1 for a child that
// never showed its window.
std::vector<double> medianStartsMs(const QString &self, const QStringList &modes)
{
    std::vector<std::vector<double>> times(modes.size());
    for (int i = 0; i < 7; ++i) {
        for (qsizetype m = 0; m < modes.size(); ++m) {
            QProcess child;
            QElapsedTimer timer;
            timer.start();
            child.start(self, {QStringLiteral("--child"), modes.at(m)});
            if (!child.waitForReadyRead(30000))
                return std::vector<double>(modes.size(), -1);
            times[m].push_back(timer.nsecsElapsed() / 1e6);
            child.waitForFinished(30000);
        }
    }
    std::vector<double> medians;
    for (std::vector<double> &modeTimes : times) {
        std::sort(modeTimes.begin(), modeTimes.end());
        medians.push_back(modeTimes[modeTimes.size() / 2]);
    }
    return medians;
}

// Counts the paint events of every widget.
struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void sendMove(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argv[2], argc, argv);

    QApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const std::vector<double> starts = medianStartsMs(
        self, {QStringLiteral("designer"), QStringLiteral("bare"), QStringLiteral("label")});
    const double designer = starts[0];
    const double bare = starts[1];
    const double label = starts[2];
    std::printf("start-up to main window shown: %.1f ms (bare Qt window: %.1f ms, %.2fx; "
                "with one label: %.1f ms)\n",
                designer, bare, designer / bare, label);
    std::printf("BENCH|start-up to main window shown|%.1f ms|bare Qt window %.1f ms (%.2fx)\n",
                designer, bare, designer / bare);
    std::printf("BENCH|start-up, bare Qt window with one label|%.1f ms|bare Qt window %.1f ms "
                "(%.2fx)\n",
                label, bare, label / bare);

    MainWindow window;
    window.setScreenSizeOverride(QSize(1366, 768));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("The window was never shown");
    DesignCanvas *canvas = window.canvas();
    // Spread over the module as a real design would be, in a 50 × 20 grid.
    for (int i = 0; i < 1000; ++i) {
        canvas->addPictureComponent(KindTable::nameOf(KindTable::Kind::Picture), makeFramePicture(20, 20, i, i), 0,
                                    50, 24);
        canvas->pictureObjects().constLast()->move(10 + (i % 50) * 58, 10 + (i / 50) * 27);
    }
    canvas->setBackgroundPicture(makeFramePicture(3000, 500, 0x8445952, 0x8445952));
    canvas->centreBackground(3000);
    QWidget *surface = canvas->surface();

    const int moves = 300;
    const QPoint grab(200, 200);
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= moves; ++i) {
        sendMove(surface, grab + QPoint(i % 2 ? 3 : -3, 0));
        QCoreApplication::processEvents();
    }
    const double panUs = timer.nsecsElapsed() / 1e3 / moves;
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);

    // A component in plain view, so that each move repaints what it uncovers and covers.
    QWidget *object = canvas->pictureObjects().constFirst();
    PaintCounter paints;
    qApp->installEventFilter(&paints);
    QTest::mousePress(object, Qt::LeftButton, {}, QPoint(5, 5));
    timer.restart();
    for (int i = 1; i <= moves; ++i) {
        sendMove(object, QPoint(5 + (i % 2 ? 3 : -3), 5));
        QCoreApplication::processEvents();
    }
    const double dragUs = timer.nsecsElapsed() / 1e3 / moves;
    QTest::mouseRelease(object, Qt::LeftButton, {}, QPoint(5, 5));
    qApp->removeEventFilter(&paints);
    const bool visible = object->isVisible() && canvas->surface()->rect().intersects(object->geometry());

    // Baseline: the same moves delivered to a bare widget, the cost of the event itself.
    QWidget bareWidget;
    bareWidget.resize(400, 400);
    bareWidget.show();
    if (!QTest::qWaitForWindowExposed(&bareWidget))
        qWarning("The window was never shown");
    timer.restart();
    for (int i = 1; i <= moves; ++i) {
        sendMove(&bareWidget, grab + QPoint(i % 2 ? 3 : -3, 0));
        QCoreApplication::processEvents();
    }
    const double bareUs = timer.nsecsElapsed() / 1e3 / moves;

    std::printf("pointer move while panning, 1000 components: %.1f us\n", panUs);
    std::printf("pointer move while dragging, 1000 components: %.1f us (%s component, %.1f paints "
                "per move)\n",
                dragUs, visible ? "a visible" : "an unseen", double(paints.count) / moves);
    std::printf("BENCH|pointer move while panning, 1000 components|%.1f us|bare widget %.1f us\n",
                panUs, bareUs);
    std::printf("BENCH|pointer move while dragging, 1000 components|%.1f us|bare widget %.1f us; "
                "%.1f paints per move\n",
                dragUs, bareUs, double(paints.count) / moves);
    return 0;
}
