// The "图层" panel over 10,000 components (500 of every kind): selecting one line and
// scrolling the list a page, each with its repaint, beside a plain list of as many
// lines; and opening the design with the panel shown beside opening it without.
#include "bench_setup.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/file_menu.h"
#include "canvas/layer_panel.h"
#include "canvas/main_window.h"
#include "canvas/preview_download.h"
#include "model/program_dir.h"
#include "model/layer_list_model.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <cstdio>

using namespace Plumbrook;

namespace {

constexpr int kRuns = 3;
constexpr int kClicks = 20;
constexpr int kPages = 20;

double openMs(MainWindow &window, const DesignFile::Design &design)
{
    QElapsedTimer timer;
    timer.start();
    BenchSetup::loadAndWait(window.canvas(), design);
    // Its first turn of the event loop draws what was put in.
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!QTest::qWaitFor([] { return PreviewDownload::pending() == 0; }, 60000))
        std::printf("previews still pending after a minute\n");
    return ms;
}

// The middle of `times`, which one stall of a shared machine does not move.
double median(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.isEmpty() ? 0 : times.at(times.size() / 2);
}

// The median of `count` clicks on lines spread over the first page of `view`, each
// with the repaints it asks for.
double clickMs(QTreeView *view, int count)
{
    QVector<double> times;
    const int lineHeight = std::max(view->sizeHintForRow(0), 1);
    const int lines = std::max(view->viewport()->height() / lineHeight - 1, 1);
    for (int i = 0; i < count; ++i) {
        const QPoint at(30, (i % lines) * lineHeight + lineHeight / 2);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// The median of `count` pages down `view`, each painted at once.
double pageMs(QTreeView *view, int count)
{
    QVector<double> times;
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 3);
    QCoreApplication::processEvents();
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        view->viewport()->repaint();
        QCoreApplication::processEvents();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    ProgramDir::setOverride(programDir.path());

    MainWindow window;
    window.fileMenu()->setDataDir(programDir.path());
    if (!BenchSetup::showOnScreen(window))
        return 1;
    // Previews come from nowhere at once: only the design's own work is measured.
    window.canvas()->setPreviewFetch([](const QString &) { return QByteArray(); });
    const DesignFile::Design design = BenchSetup::largeDesign(500);
    const int components = int(design.rows.size()) - 1;

    // Opening, shown and not, taking turns so that both meet the same machine, each
    // after a design of as many components to put away; the first opening warms up.
    openMs(window, design);
    double without = 1e300;
    double with = 1e300;
    for (int run = 0; run < 2 * kRuns; ++run) {
        const bool shown = run % 2 == (run / 2) % 2;
        window.setLayersShown(shown);
        double &best = shown ? with : without;
        best = std::min(best, openMs(window, design));
    }
    window.setLayersShown(true);

    QTreeView *view = window.layerPanel()->view();
    const double click = clickMs(view, kClicks);
    // The same components selected by a click on the canvas, which a line's click also does.
    QVector<double> canvasClicks;
    for (int i = 0; i < kClicks; ++i) {
        const QModelIndex line = view->indexAt(QPoint(30, i % 10 * std::max(view->sizeHintForRow(0), 1) + 4));
        QWidget *object = window.canvas()->objectById(window.layerPanel()->model()->idAt(line));
        if (!object)
            continue;
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
        QCoreApplication::processEvents();
        canvasClicks.append(timer.nsecsElapsed() / 1e6);
    }
    const double canvasClick = median(canvasClicks);
    const double page = pageMs(view, kPages);

    // The same view over a plain model of as many lines, as a baseline.
    QStandardItemModel plain(components, LayerListModel::ColumnCount);
    for (int row = 0; row < components; ++row)
        plain.setItem(row, 0, new QStandardItem(QStringLiteral("图片  picture%1.jpg").arg(row)));
    QTreeView bare;
    bare.setUniformRowHeights(true);
    bare.setSelectionMode(QAbstractItemView::ExtendedSelection);
    bare.setModel(&plain);
    bare.resize(view->size());
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare))
        return 1;
    const double bareClick = clickMs(&bare, kClicks);
    const double barePage = pageMs(&bare, kPages);

    std::printf("%d components: selecting a line %.2f ms (median) (plain list %.2f ms, the same on the canvas "
                "%.2f ms), scrolling a page "
                "%.2f ms (plain list %.2f ms); opening with the panel %.0f ms, without %.0f ms (%+.1f %%)\n",
                components, click, bareClick, canvasClick, page, barePage, with, without, (with / without - 1) * 100);
    std::printf("BENCH|select one layer line, 10000 components (median of %d)|%.2f ms|plain list %.2f ms, "
                "on the canvas %.2f ms\n", kClicks, click, bareClick, canvasClick);
    std::printf("BENCH|scroll the layer list one page, 10000 components (median of %d)|%.2f ms|plain list %.2f ms\n",
                kPages, page, barePage);
    std::printf("BENCH|open 10000 components with the layer panel shown|%.0f ms (%+.1f %%)|without %.0f ms\n",
                with, (with / without - 1) * 100, without);
    return 0;
}
