#include "canvas/canvas_ruler.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/ruler_guides.h"
#include "canvas/selection_handles.h"
#include "model/component_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QLabel>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTest>

#include <cmath>

using namespace Plumbrook;

namespace {

const QColor kGround(250, 250, 250);
const QColor kGridLine(228, 228, 232);

QImage render(CanvasSurface *surface, const QRegion &region, const QColor &under)
{
    QImage image(surface->size(), QImage::Format_RGB32);
    image.fill(under);
    // The region lands where it lies on the surface, the rest keeps `under`.
    surface->render(&image, region.boundingRect().topLeft(), region, QWidget::RenderFlags());
    return image;
}

} // namespace

// What the designer's window shows when it first appears, however its start is built.
class TestFirstShow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void gridLines_data();
    void gridLines();
    void partOfTheGridDrawnAsTheWhole_data();
    void partOfTheGridDrawnAsTheWhole();
    void rulerDrawnForTheWholeStrip();
    void handlesInSelectionBlue();
    void windowAndTrayIcon();

private:
    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
};

void TestFirstShow::init()
{
    Test::DesignerOptions options;
    options.beforeShow = [](MainWindow *window, const QString &) {
        window->setTrayAvailableOverride(true);
    };
    // Left where it places itself, as on a real start.
    options.position.reset();
    mDesigner = std::make_unique<Test::DesignerWindow>(std::move(options));
    mWindow = mDesigner->window();
}

void TestFirstShow::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
}

void TestFirstShow::gridLines_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("lines");      // screen pixels carrying a line, both ways
    QTest::addColumn<QList<int>>("clear");      // screen pixels between lines
    QTest::newRow("100 %") << 1.0 << QSize(996, 574) << QList<int>{20, 40, 560}
                           << QList<int>{0, 19, 21, 39, 41, 573};
    QTest::newRow("200 %") << 2.0 << QSize(996, 574) << QList<int>{40, 80, 560}
                           << QList<int>{20, 39, 41, 60, 561};
    QTest::newRow("25 %") << 0.25 << QSize(996, 574) << QList<int>{5, 10, 15, 570}
                          << QList<int>{0, 4, 6, 9, 11, 573};
    QTest::newRow("33 %, between pixels") << 0.33 << QSize(996, 574) << QList<int>{7, 13, 20, 26, 33}
                                          << QList<int>{6, 8, 12, 14, 19, 21};
    QTest::newRow("taller than wide") << 1.0 << QSize(300, 900) << QList<int>{20, 280}
                                      << QList<int>{0, 19, 21, 299};
}

void TestFirstShow::gridLines()
{
    QFETCH(double, scale);
    QFETCH(QSize, size);
    QFETCH(QList<int>, lines);
    QFETCH(QList<int>, clear);
    CanvasSurface surface;
    surface.resize(size);
    surface.setScale(scale);
    const QImage shown = render(&surface, QRegion(surface.rect()), Qt::black);
    // A vertical line runs the surface's whole height, a horizontal one its whole width.
    for (int at : lines) {
        for (int along : {0, 7, size.height() - 1})
            QCOMPARE(shown.pixelColor(at, along), kGridLine);
        for (int along : {0, 7, size.width() - 1})
            QCOMPARE(shown.pixelColor(along, at), kGridLine);
    }
    // Between lines the ground shows, where no line of the other direction crosses.
    const int between = clear.constFirst() == 0 ? 1 : clear.constFirst();
    for (int at : clear) {
        QCOMPARE(shown.pixelColor(at, between), kGround);
        QCOMPARE(shown.pixelColor(between, at), kGround);
    }
}

void TestFirstShow::partOfTheGridDrawnAsTheWhole_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QRect>("part");
    QTest::newRow("100 %, inside") << 1.0 << QRect(13, 7, 300, 200);
    QTest::newRow("100 %, to the corner") << 1.0 << QRect(500, 400, 496, 174);
    QTest::newRow("100 %, one pixel on a crossing") << 1.0 << QRect(40, 60, 1, 1);
    QTest::newRow("100 %, one line's width") << 1.0 << QRect(20, 0, 1, 574);
    QTest::newRow("150 %") << 1.5 << QRect(29, 31, 333, 111);
    QTest::newRow("25 %") << 0.25 << QRect(3, 3, 50, 50);
    QTest::newRow("400 %, last pixel") << 4.0 << QRect(995, 573, 1, 1);
}

void TestFirstShow::partOfTheGridDrawnAsTheWhole()
{
    QFETCH(double, scale);
    QFETCH(QRect, part);
    CanvasSurface surface;
    surface.resize(996, 574);
    surface.setScale(scale);
    const QImage whole = render(&surface, QRegion(surface.rect()), Qt::black);
    // A pan or a moved component repaints a part only; it must match the whole.
    const QImage redrawn = render(&surface, QRegion(part), Qt::black);
    QCOMPARE(redrawn.copy(part), whole.copy(part));
    const QRect outside = part.adjusted(-1, -1, 1, 1).intersected(surface.rect());
    for (const QPoint &corner : {outside.topLeft(), outside.bottomRight()}) {
        if (!part.contains(corner))
            QCOMPARE(redrawn.pixelColor(corner), QColor(Qt::black));
    }
}

void TestFirstShow::rulerDrawnForTheWholeStrip()
{
    auto *ruler = mWindow->findChild<QLabel *>(QStringLiteral("图片框_刻度"));
    QVERIFY(ruler);
    const QImage strip = ruler->pixmap().toImage();
    QCOMPARE(strip.size(), ruler->size() * strip.devicePixelRatio());
    const QColor mark(200, 205, 210);
    const QColor ground(48, 52, 58);
    // Module pixels: 0 at the module's left edge, numbered marks the strip's height every
    // 50 pixels at 100 %, on both sides of it and to the strip's far end.
    const int origin = mWindow->rulers()->ruler(Qt::Horizontal)->positionOf(0);
    QCOMPARE(origin, ruler->mapFromGlobal(mWindow->canvas()->surface()->mapToGlobal(mWindow->canvas()->backgroundPos())).x());
    int marks = 0;
    for (int x = origin % 50; x < strip.width() - 1; x += 50) {
        if (x < 1)
            continue;
        QCOMPARE(strip.pixelColor(x, strip.height() - 1), mark);
        QCOMPARE(strip.pixelColor(x, 13), mark);
        QCOMPARE(strip.pixelColor(x + 1, 13), ground);
        ++marks;
    }
    QVERIFY(marks >= 19);
    const int shortMark = origin + (strip.width() - origin) / 10 * 10 - 5;   // one every 5 pixels
    QCOMPARE(strip.pixelColor(shortMark, 15), mark);
    QCOMPARE(strip.pixelColor(shortMark + 2, 15), ground);
}

void TestFirstShow::handlesInSelectionBlue()
{
    DesignCanvas *canvas = mWindow->canvas();
    const int row = Test::addPicture(canvas, QStringLiteral("图片"), {}, 0, 180, 220);
    QWidget *object = canvas->objectById(mWindow->table()->cell(row, ComponentTable::Id));
    object->setGeometry(100, 100, 180, 220);
    canvas->refreshSelectionDisplay(object);
    for (int h = 0; h < SelectionHandles::Count; ++h) {
        QLabel *handle = canvas->handles().label(SelectionHandles::Handle(h));
        QVERIFY(handle->isVisible());
        const QImage shown = handle->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.rect().center()), QColor(0x1e, 0x6f, 0xd9));
        QCOMPARE(shown.pixelColor(0, 0), QColor(0x1e, 0x6f, 0xd9));
    }
}

void TestFirstShow::windowAndTrayIcon()
{
    const QIcon icon = mWindow->windowIcon();
    QVERIFY(!icon.isNull());
    const QImage picture = icon.pixmap(QSize(64, 64)).toImage();
    QCOMPARE(picture.size(), QSize(64, 64));
    QVERIFY(qAlpha(picture.pixel(32, 32)) > 0);
    // The tray's icon, made when the window first goes there, is the window's.
    mWindow->closeToTray();
    QVERIFY(mWindow->trayIcon());
    QCOMPARE(mWindow->trayIcon()->icon().pixmap(QSize(64, 64)).toImage(), picture);
}

QTEST_MAIN(TestFirstShow)
#include "tst_first_show.moc"
