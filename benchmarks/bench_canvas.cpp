// Start-up time of the designer against a bare Qt window, and the cost of one
// pointer move while dragging over a design of 1,000 components (panning is
// measured by bench_layout).
#include "bench_setup.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
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
    std::printf("BENCH|start-up to main window shown|%.1f ms|bare Qt window %.1f ms (%.2fx); "
                "with one label %.2fx\n",
                designer, bare, designer / bare, designer / label);
    std::printf("BENCH|start-up, bare Qt window with one label|%.1f ms|bare Qt window %.1f ms "
                "(%.2fx)\n",
                label, bare, label / bare);

    MainWindow window;
    if (!BenchSetup::showOnScreen(window))
        qWarning("The window was never shown");
    DesignCanvas *canvas = window.canvas();
    BenchSetup::addPictureGrid(canvas, 1000);
    canvas->setBackgroundPicture(makeFramePicture(3000, 500, 0x8445952, 0x8445952));
    canvas->centreBackground(3000);

    // A component in plain view, so that each move repaints what it uncovers and covers.
    const int moves = 300;
    QWidget *object = canvas->pictureObjects().constFirst();
    PaintCounter paints;
    qApp->installEventFilter(&paints);
    QTest::mousePress(object, Qt::LeftButton, {}, QPoint(5, 5));
    const double dragUs = BenchSetup::movesUs(object, moves, [](int i) { return QPoint(5, 5) + BenchSetup::jiggle(i); });
    QTest::mouseRelease(object, Qt::LeftButton, {}, QPoint(5, 5));
    qApp->removeEventFilter(&paints);
    const bool visible = object->isVisible() && canvas->surface()->rect().intersects(object->geometry());
    const double bareUs = BenchSetup::bareWidgetMoveUs(moves);

    std::printf("pointer move while dragging, 1000 components: %.1f us (%s component, %.1f paints "
                "per move)\n",
                dragUs, visible ? "a visible" : "an unseen", double(paints.count) / moves);
    std::printf("BENCH|pointer move while dragging, 1000 components|%.1f us|bare widget %.1f us; "
                "%.1f paints per move\n",
                dragUs, bareUs, double(paints.count) / moves);
    return 0;
}
