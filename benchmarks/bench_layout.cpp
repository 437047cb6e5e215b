// The cost of one pointer move while dragging with snapping on, and of one step of
// scrolling, over a design of 1,000 components.
#include "canvas/arrange_menu.h"
#include "canvas/canvas_scroller.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Plumbrook;

namespace {

void sendMove(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

double dragMoveUs(QWidget *object, int moves)
{
    QTest::mousePress(object, Qt::LeftButton, {}, QPoint(5, 5));
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= moves; ++i) {
        // Wanders over several pixels so that it snaps and lets go in turn.
        sendMove(object, QPoint(5 + (i % 13) - 6, 5 + (i % 7) - 3));
        QCoreApplication::processEvents();
    }
    const double us = timer.nsecsElapsed() / 1e3 / moves;
    QTest::mouseRelease(object, Qt::LeftButton, {}, QPoint(5, 5));
    return us;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    MainWindow window;
    // The snapping switch is kept here, not in the user's own settings.
    QTemporaryDir settings;
    window.fileMenu()->setDataDir(settings.path());
    window.setScreenSizeOverride(QSize(1366, 768));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    DesignCanvas *canvas = window.canvas();
    ComponentTable *table = window.table();
    table->setCell(0, ComponentTable::Width, QStringLiteral("950"));
    table->setCell(0, ComponentTable::Height, QStringLiteral("3000"));
    canvas->setBackgroundPicture(makeFramePicture(950, 3000, 0x8445952, 0x8445952));
    canvas->centreBackground(950);
    const QPoint origin = canvas->backgroundPos();
    for (int i = 0; i < 1000; ++i) {
        canvas->addPictureComponent(KindTable::nameOf(KindTable::Kind::Picture), makeFramePicture(20, 20, i, i), 0, 17, 24);
        canvas->pictureObjects().constLast()->move(origin + QPoint(3 + (i % 40) * 23, 7 + (i / 40) * 113));
    }
    window.scroller()->fit();

    const int moves = 300;
    QWidget *object = canvas->pictureObjects().at(500);
    const double plainUs = dragMoveUs(object, moves);
    window.arrangeMenu()->snapAction()->setChecked(true);
    const double snapUs = dragMoveUs(object, moves);
    window.arrangeMenu()->snapAction()->setChecked(false);

    CanvasScroller *scroller = window.scroller();
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= moves; ++i) {
        scroller->scrollTo(QPoint(0, 100 + (i % 2 ? 3 : -3)));
        QCoreApplication::processEvents();
    }
    const double scrollUs = timer.nsecsElapsed() / 1e3 / moves;
    // The same steps without painting them: what moving the one shared parent costs.
    timer.restart();
    for (int i = 1; i <= moves; ++i)
        scroller->scrollTo(QPoint(0, 100 + (i % 2 ? 3 : -3)));
    const double scrollMoveUs = timer.nsecsElapsed() / 1e3 / moves;
    QCoreApplication::processEvents();

    // Baseline: the same moves delivered to a bare widget, the cost of the event itself.
    QWidget bareWidget;
    bareWidget.resize(400, 400);
    bareWidget.show();
    if (!QTest::qWaitForWindowExposed(&bareWidget))
        return 1;
    timer.restart();
    for (int i = 1; i <= moves; ++i) {
        sendMove(&bareWidget, QPoint(200 + (i % 2 ? 3 : -3), 200));
        QCoreApplication::processEvents();
    }
    const double bareUs = timer.nsecsElapsed() / 1e3 / moves;

    std::printf("pointer move while dragging with snapping, 1000 components: %.1f us (without: %.1f us)\n",
                snapUs, plainUs);
    std::printf("scroll step, 1000 components: %.1f us\n", scrollUs);
    std::printf("BENCH|pointer move while dragging with snapping, 1000 components|%.1f us|"
                "snapping off %.1f us\n", snapUs, plainUs);
    std::printf("BENCH|scroll step of the design page, 1000 components|%.1f us|bare widget move %.1f us\n",
                scrollUs, bareUs);
    std::printf("BENCH|scroll step, paint excluded, 1000 components|%.1f us|bare widget move %.1f us\n",
                scrollMoveUs, bareUs);
    return 0;
}
