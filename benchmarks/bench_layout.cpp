// The cost of one pointer move while dragging with snapping on, while panning the
// module, of one step of scrolling and of rubber-banding, and of a zoom change, over
// designs of 1,000 and 5,000 components.
#include "bench_setup.h"
#include "support/canvas_driving.h"
#include "canvas/arrange_menu.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Plumbrook;
using BenchSetup::sendMove;

namespace {

// A hand's wander over several pixels, so that a drag snaps and lets go in turn.
QPoint wander(int i)
{
    return QPoint((i % 13) - 6, (i % 7) - 3);
}

// Zooms back and forth between 100 % and `zoom`, painting each change; microseconds per change.
double zoomChangeUs(CanvasScroller *scroller, double zoom, int changes)
{
    return BenchSetup::perStepUs(changes, [&](int i) { scroller->zoomTo(i % 2 ? zoom : 1.0, QPoint(300, 200)); });
}

double dragMoveUs(QWidget *object, int moves)
{
    QTest::mousePress(object, Qt::LeftButton, {}, QPoint(5, 5));
    const double us = BenchSetup::movesUs(object, moves, [](int i) { return QPoint(5, 5) + wander(i); });
    QTest::mouseRelease(object, Qt::LeftButton, {}, QPoint(5, 5));
    return us;
}

struct BandFigures
{
    double moveUs = 0;      // one pointer move of the band
    double releaseMs = 0;   // selecting what it touches
    int selected = 0;
};

// A band from the empty margin left of the module across most of what is in view,
// its far corner wandering by a few pixels as a hand does.
BandFigures rubberBand(DesignCanvas *canvas, int moves)
{
    QWidget *surface = canvas->surface();
    const QPoint from(canvas->backgroundPos().x() - 10, 10);
    const QPoint to = canvas->backgroundPos() + QPoint(900, 2900);
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    sendMove(surface, to);
    QCoreApplication::processEvents();
    BandFigures figures;
    figures.moveUs = BenchSetup::movesUs(surface, moves, [&](int i) { return to + wander(i); });
    QElapsedTimer timer;
    timer.start();
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    figures.releaseMs = timer.nsecsElapsed() / 1e6;
    figures.selected = int(canvas->selectedObjects().size());
    QCoreApplication::processEvents();
    canvas->clearSelection();
    return figures;
}

void addPictures(DesignCanvas *canvas, int from, int to)
{
    const QPoint origin = canvas->backgroundPos();
    for (int i = from; i < to; ++i) {
        Test::addPicture(canvas, KindTable::nameOf(KindTable::Kind::Picture), makeFramePicture(20, 20, i, i), 0, 17, 24);
        // Forty to a row, and rows of a thousand laid over each other a few pixels apart.
        const int inRow = i % 1000;
        canvas->pictureObjects().constLast()->move(
            origin + QPoint(3 + (inRow % 40) * 23 + i / 1000 * 2, 7 + (inRow / 40) * 113 + i / 1000 * 20));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    MainWindow window;
    // The snapping switch is kept here, not in the user's own settings.
    QTemporaryDir settings;
    window.fileMenu()->setDataDir(settings.path());
    if (!BenchSetup::showOnScreen(window))
        return 1;
    DesignCanvas *canvas = window.canvas();
    BenchSetup::setModule(window, QSize(950, 3000));
    addPictures(canvas, 0, 1000);
    window.scroller()->fit();

    const int moves = 300;
    QWidget *object = canvas->pictureObjects().at(500);
    const double plainUs = dragMoveUs(object, moves);
    window.arrangeMenu()->snapAction()->setChecked(true);
    const double snapUs = dragMoveUs(object, moves);
    window.arrangeMenu()->snapAction()->setChecked(false);

    CanvasScroller *scroller = window.scroller();
    // A zoom change over the design, beside the same change over the empty module.
    const int changes = 40;
    const double zoomUs = zoomChangeUs(scroller, 2.0, changes);
    scroller->zoomTo(1.0);

    // Panning: the module pans only when wider than the screen.
    window.setScreenSizeOverride(QSize(800, 600));
    CanvasSurface *surface = canvas->surface();
    const QPoint grab = canvas->backgroundPos() + QPoint(400, 300);
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    const auto panAt = [&](int i) { return grab + BenchSetup::jiggle(i); };
    const double panUs = BenchSetup::movesUs(surface, moves, panAt);
    const double panMoveUs = BenchSetup::movesUs(surface, moves, panAt, false);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);
    QCoreApplication::processEvents();
    // Baseline: the same pan steps moving every object, as panning once did.
    const QList<QWidget *> objects = canvas->allObjects();
    const auto panEach = [&](int i) {
        const QPoint delta = BenchSetup::jiggle(i);
        canvas->moveBackground(canvas->backgroundPos() + delta);
        for (QWidget *each : objects)
            each->move(each->pos() + delta);
    };
    const double panEachUs = BenchSetup::perStepUs(moves, panEach);
    const double panEachMoveUs = BenchSetup::perStepUs(moves, panEach, false);
    QCoreApplication::processEvents();
    window.setScreenSizeOverride(QSize(1366, 768));

    const auto scrollStep = [&](int i) { scroller->scrollTo(QPoint(0, 100 + (i % 2 ? 3 : -3))); };
    const double scrollUs = BenchSetup::perStepUs(moves, scrollStep);
    // The same steps without painting them: what moving the one shared parent costs.
    const double scrollMoveUs = BenchSetup::perStepUs(moves, scrollStep, false);
    QCoreApplication::processEvents();

    const double bareUs = BenchSetup::bareWidgetMoveUs(moves);
    if (bareUs < 0)
        return 1;

    scroller->scrollTo(QPoint(0, 0));
    const BandFigures band1000 = rubberBand(canvas, moves);
    addPictures(canvas, 1000, 5000);
    window.scroller()->fit();
    const BandFigures band5000 = rubberBand(canvas, moves);
    // Baseline for the release: selecting as many components at once without a band.
    QElapsedTimer timer;
    timer.start();
    canvas->selectObjects(canvas->allObjects().mid(0, band5000.selected));
    const double selectMs = timer.nsecsElapsed() / 1e6;
    // Baseline of a zoom change: the same module without components.
    MainWindow empty;
    empty.fileMenu()->setDataDir(settings.path());
    empty.show();
    if (!QTest::qWaitForWindowExposed(&empty))
        return 1;
    BenchSetup::setModule(empty, QSize(950, 3000));
    const double emptyZoomUs = zoomChangeUs(empty.scroller(), 2.0, changes);

    std::printf("pointer move while dragging with snapping, 1000 components: %.1f us (without: %.1f us)\n",
                snapUs, plainUs);
    std::printf("scroll step, 1000 components: %.1f us\n", scrollUs);
    std::printf("BENCH|pointer move while dragging with snapping, 1000 components|%.1f us|"
                "snapping off %.1f us\n", snapUs, plainUs);
    std::printf("BENCH|scroll step of the design page, 1000 components|%.1f us|bare widget move %.1f us\n",
                scrollUs, bareUs);
    std::printf("BENCH|scroll step, paint excluded, 1000 components|%.1f us|bare widget move %.1f us\n",
                scrollMoveUs, bareUs);
    std::printf("rubber band: %.1f us a move over 1000 components (%d selected in %.1f ms), "
                "%.1f us over 5000 (%d selected in %.1f ms)\n",
                band1000.moveUs, band1000.selected, band1000.releaseMs, band5000.moveUs,
                band5000.selected, band5000.releaseMs);
    std::printf("BENCH|pointer move while rubber-banding, 1000 components|%.1f us|bare widget move %.1f us\n",
                band1000.moveUs, bareUs);
    std::printf("BENCH|pointer move while rubber-banding, 5000 components|%.1f us|bare widget move %.1f us\n",
                band5000.moveUs, bareUs);
    std::printf("BENCH|releasing a band over 5000 components, %d selected|%.1f ms|selecting them "
                "without a band %.1f ms\n",
                band5000.selected, band5000.releaseMs, selectMs);
    std::printf("BENCH|pointer move while panning, 1000 components|%.1f us|moving every object %.1f us\n",
                panUs, panEachUs);
    std::printf("BENCH|pointer move while panning, paint excluded, 1000 components|%.1f us|"
                "moving every object %.1f us\n", panMoveUs, panEachMoveUs);
    std::printf("BENCH|zoom change 100 %% to 200 %%, 1000 components|%.0f us|no components %.0f us\n",
                zoomUs, emptyZoomUs);
    return 0;
}
