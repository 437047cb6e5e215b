#pragma once

#include "canvas/canvas_builder.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_file.h"
#include "model/design_operations.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <functional>

// The designs and the pointer moves more than one benchmark measures with, built the
// same way everywhere, so that their figures stand beside each other.
namespace Plumbrook::BenchSetup {

// Puts a design in place and waits until all its objects are on the canvas: a large
// one comes a slice at a time.
inline void loadAndWait(DesignCanvas *canvas, const DesignFile::Design &design)
{
    DesignLoader::load(canvas, design);
    while (CanvasBuilder::of(canvas)->isBuilding())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// What the large design's previews point at and what its carousels hold.
struct LargeDesignOptions
{
    QString previewBase = QStringLiteral("http://127.0.0.1:9");   // nobody answers here
    bool picturesOnly = false;
    // Goes into every carousel's settings, so that opening another variant rewrites
    // every carousel's file.
    int variant = 0;
};

// `perKind` components of every kind (500 make 10,000 components), placed forty to
// a row; each previewed kind points at `previewBase`, each carousel brings its two
// arrows and its settings, numbered by its row.
inline DesignFile::Design largeDesign(int perKind, const LargeDesignOptions &options = {})
{
    using T = ComponentTable;
    namespace CS = CarouselSettings;
    DesignFile::Design design;
    design.rows = {ComponentTable::initialModuleRecord()};
    int id = 1;
    const auto add = [&](const QString &kind, int width, int height) {
        QStringList cells(T::ColumnCount);
        const int index = int(design.rows.size()) - 1;
        cells[T::Id] = QString::number(++id);
        cells[T::Kind] = kind;
        cells[T::Width] = QString::number(width);
        cells[T::Height] = QString::number(height);
        cells[T::Left] = QString::number(index % 40 * 24);
        cells[T::Top] = QString::number(index / 40 * 24);
        design.rows.append(cells);
        return int(design.rows.size()) - 1;
    };
    for (int n = 0; n < perKind; ++n) {
        for (const KindTable::KindInfo &info : KindTable::all()) {
            if (options.picturesOnly && info.kind != KindTable::Kind::Picture)
                continue;
            const int row = add(info.name, std::max(info.width, 20), std::max(info.height, 20));
            for (const auto &[column, text] : info.cells)
                design.rows[row][column] = text;
            const QString url = options.previewBase + QStringLiteral("/p%1.png").arg(id);
            if (info.preview == KindTable::PreviewSource::Column)
                design.rows[row][info.previewColumn] = url;
            if (info.kind != KindTable::Kind::Carousel)
                continue;
            design.rows[row][CS::kNumberColumn] = QString::number(row);
            add(CS::kLeftArrowPrefix + QString::number(row), 40, 40);
            add(CS::kRightArrowPrefix + QString::number(row), 40, 40);
            DesignFile::CarouselValues values = CS::defaults();
            for (auto &[key, value] : values) {
                if (key == CS::pictureKey(1))
                    value = url;
                else if (key == CS::linkKey(1))
                    value = QStringLiteral("http://shop/%1").arg(options.variant);
            }
            design.carousels.insert(row, values);
        }
    }
    return design;
}

// Shows the window laid out for a screen of `screen`, whatever the machine's is;
// false when it is never shown.
inline bool showOnScreen(MainWindow &window, const QSize &screen = QSize(1366, 768))
{
    window.setScreenSizeOverride(screen);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

// `count` picture components of 50 × 24 in a grid fifty wide, 58 × 27 apart, as a real
// design spreads over a wide module.
inline void addPictureGrid(DesignCanvas *canvas, int count)
{
    for (int i = 0; i < count; ++i) {
        const int row = Test::addPicture(canvas, KindTable::nameOf(KindTable::Kind::Picture),
                                         makeFramePicture(20, 20, i, i), 0, 50, 24);
        const QPoint at = QPoint(10 + (i % 50) * 58, 10 + (i / 50) * 27) - canvas->backgroundPos();
        DesignOperations::setFrames(canvas->document(), QStringLiteral("移动"),
                                    {{canvas->table()->cell(row, ComponentTable::Id), QRect(at, QSize(50, 24))}});
    }
}

// Gives the module record and the background object the module's size at once,
// without waiting for the background worker.
inline void setModule(MainWindow &window, const QSize &size)
{
    window.document()->writeUnstepped([&] {
        window.table()->setCell(0, ComponentTable::Width, QString::number(size.width()));
        window.table()->setCell(0, ComponentTable::Height, QString::number(size.height()));
    });
    window.canvas()->setBackgroundPicture(makeFramePicture(size.width(), size.height(), 0x8445952, 0x8445952));
    window.canvas()->centreBackground(size.width());
}

// A pointer move with the left button held, delivered straight to the widget.
inline void sendMove(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

// The few pixels back and forth a still hand moves.
inline QPoint jiggle(int i)
{
    return QPoint(i % 2 ? 3 : -3, 0);
}

// Microseconds per step: `steps` calls of `step(i)` from 1 on, each followed by the
// events it queued (its repaints) unless `painted` is false.
inline double perStepUs(int steps, const std::function<void(int)> &step, bool painted = true)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= steps; ++i) {
        step(i);
        if (painted)
            QCoreApplication::processEvents();
    }
    return timer.nsecsElapsed() / 1e3 / steps;
}

// Microseconds per pointer move to `at(i)` over `widget`.
inline double movesUs(QWidget *widget, int moves, const std::function<QPoint(int)> &at, bool painted = true)
{
    return perStepUs(moves, [&](int i) { sendMove(widget, at(i)); }, painted);
}

// Baseline of a pointer move: the same moves delivered to a bare widget, the cost of
// the event itself; negative when the widget is never shown.
inline double bareWidgetMoveUs(int moves)
{
    QWidget bare;
    bare.resize(400, 400);
    bare.show();
    if (!QTest::qWaitForWindowExposed(&bare))
        return -1;
    return movesUs(&bare, moves, [](int i) { return QPoint(200, 200) + jiggle(i); });
}

// The shortest of `runs` runs of `work`, in nanoseconds.
template<typename Work>
double bestOf(int runs, Work &&work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()));
    }
    return best;
}

// The process's peak resident set, in kilobytes; -1 where the kernel does not tell.
inline long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

} // namespace Plumbrook::BenchSetup
