#include "canvas/arrange_menu.h"
#include "canvas/canvas_ruler.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/design_document.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/ruler_guides.h"
#include "canvas/zoom_mapping.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// A press, one move by `by` and the release, as a drag on `widget`.
void drag(QWidget *widget, const QPoint &by, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint from(2, 2);
    sendMouse(widget, QEvent::MouseButtonPress, from);
    sendMouse(widget, QEvent::MouseMove, from + by, modifiers);
    sendMouse(widget, QEvent::MouseButtonRelease, from + by);
}

} // namespace

class TestZoom : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dragsInModulePixels_data();
    void dragsInModulePixels();
    void keysBoxesAndPasteInModulePixels();
    void ctrlWheelKeepsThePointOnThePointer_data();
    void ctrlWheelKeepsThePointOnThePointer();
    void keysAndZoomBox_data();
    void keysAndZoomBox();
    void limitsHold();
    void rulerFollowsZoomAndScroll_data();
    void rulerFollowsZoomAndScroll();
    void snapToleranceIsScreenPixels_data();
    void snapToleranceIsScreenPixels();
    void backgroundAndPicturesDrawnScaled();
    void panMovesOneLayer();
    void backToActualSizeIsExact();
    void textScalesWithTheZoom();

private:
    QWidget *create(const QPoint &moduleAt, const QSize &size);
    QRect cells(QWidget *object) const;
    void setModule(int width, int height);
    QComboBox *zoomBox() const { return mWindow->findChild<QComboBox *>(QStringLiteral("组合框_缩放")); }
    QWidget *page() const { return mWindow->findChild<QWidget *>(QStringLiteral("设计")); }

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestZoom::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    mWindow->fileMenu()->setDataDir(mDesigner->dirPath());
    QVERIFY(QTest::qWaitForWindowExposed(mWindow));
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
}

void TestZoom::cleanup()
{
    mDesigner.reset();
    mWindow = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestZoom::setModule(int width, int height)
{
    mWindow->document()->writeUnstepped([&] {
        mTable->setCell(0, T::Width, QString::number(width));
        mTable->setCell(0, T::Height, QString::number(height));
    });
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE(mCanvas->backgroundPictureSize(), QSize(width, height));
}

QWidget *TestZoom::create(const QPoint &moduleAt, const QSize &size)
{
    const int row = mCanvas->addComponent(QStringLiteral("图片"));
    QWidget *object = mCanvas->objectById(mTable->cell(row, T::Id));
    mCanvas->setFrame(object, QRect(mCanvas->backgroundPos() + moduleAt, size));
    Test::storeFrame(mCanvas, object);
    return object;
}

QRect TestZoom::cells(QWidget *object) const
{
    const int row = mTable->findRowById(DesignCanvas::tagOf(object));
    return QRect(mTable->cellInt(row, T::Left), mTable->cellInt(row, T::Top),
                 mTable->cellInt(row, T::Width), mTable->cellInt(row, T::Height));
}

void TestZoom::dragsInModulePixels_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("resize");   // by the bottom-right handle, else a move
    QTest::addColumn<QRect>("after");   // the cells, from 100, 50, 80 × 60
    QTest::newRow("move at 50 %") << 0.5 << false << QRect(120, 62, 80, 60);
    QTest::newRow("move at 100 %") << 1.0 << false << QRect(110, 56, 80, 60);
    QTest::newRow("move at 200 %") << 2.0 << false << QRect(105, 53, 80, 60);
    QTest::newRow("resize at 50 %") << 0.5 << true << QRect(100, 50, 100, 72);
    QTest::newRow("resize at 100 %") << 1.0 << true << QRect(100, 50, 90, 66);
    QTest::newRow("resize at 200 %") << 2.0 << true << QRect(100, 50, 85, 63);
}

void TestZoom::dragsInModulePixels()
{
    QFETCH(double, zoom);
    QFETCH(bool, resize);
    QFETCH(QRect, after);
    QWidget *object = create(QPoint(100, 50), QSize(80, 60));
    mWindow->scroller()->zoomTo(zoom);
    QCOMPARE(object->size(), QSize(80, 60) * zoom);
    const QPoint by(10, 6);   // screen pixels
    if (resize) {
        QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
        drag(mWindow->findChild<QWidget *>(QStringLiteral("标签_右下")), by);
    } else {
        drag(object, by);
    }
    QCOMPARE(cells(object), after);
    QCOMPARE(mCanvas->frameOf(object), after.translated(mCanvas->backgroundPos()));
    QCOMPARE(object->size(), after.size() * zoom);
}

void TestZoom::keysBoxesAndPasteInModulePixels()
{
    QWidget *object = create(QPoint(100, 50), QSize(80, 60));
    mWindow->scroller()->zoomTo(2.0);
    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
    const QPoint shown = object->pos();
    QTest::keyClick(mCanvas->surface(), Qt::Key_Right);
    QTest::keyClick(mCanvas->surface(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(cells(object).topLeft(), QPoint(101, 60));
    QCOMPARE(object->pos(), shown + QPoint(2, 20));

    auto *x = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_距左"));
    x->setFocus();
    x->setText(QStringLiteral("120"));
    mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽"))->setFocus();
    QCOMPARE(mCanvas->frameOf(object).x(), mCanvas->backgroundPos().x() + 120);
    QCOMPARE(object->x(), 2 * (mCanvas->backgroundPos().x() + 120));

    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClick(mCanvas->surface(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(mCanvas->surface(), Qt::Key_V, Qt::ControlModifier);
    const QList<QWidget *> selected = mCanvas->selectedObjects();
    QCOMPARE(selected.size(), 1);
    QVERIFY(selected.first() != object);
    QCOMPARE(cells(selected.first()), cells(object).translated(10, 10));
    QCOMPARE(selected.first()->size(), object->size());
}

void TestZoom::ctrlWheelKeepsThePointOnThePointer_data()
{
    QTest::addColumn<QList<int>>("turns");
    QTest::addColumn<double>("zoom");
    QTest::newRow("a notch in") << QList<int>{120} << 3.0;
    QTest::newRow("a notch out") << QList<int>{-120} << 1.5;
    QTest::newRow("a fine wheel makes one notch") << QList<int>{40, 40, 40} << 3.0;
    QTest::newRow("too little to zoom") << QList<int>{60} << 2.0;
}

void TestZoom::ctrlWheelKeepsThePointOnThePointer()
{
    QFETCH(QList<int>, turns);
    QFETCH(double, zoom);
    setModule(950, 3000);
    CanvasScroller *scroller = mWindow->scroller();
    scroller->zoomTo(2.0);
    scroller->scrollTo(QPoint(500, 1000));
    QCOMPARE(scroller->offset(), QPoint(500, 1000));
    const QPoint pointer(400, 300);   // on the page
    const QPointF before = QPointF(pointer + scroller->offset()) / mCanvas->zoom();
    for (int turn : turns) {
        QWheelEvent wheel(QPointF(pointer), QPointF(page()->mapToGlobal(pointer)), QPoint(),
                          QPoint(0, turn), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(page(), &wheel);
    }
    QCOMPARE(mCanvas->zoom(), zoom);
    QCOMPARE(zoomBox()->currentText(), QStringLiteral("%1%").arg(qRound(zoom * 100)));
    const QPointF after = QPointF(pointer + scroller->offset()) / mCanvas->zoom();
    QVERIFY2((after - before).manhattanLength() <= 1.0,
             qPrintable(QStringLiteral("%1,%2 moved to %3,%4").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
}

void TestZoom::keysAndZoomBox_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<QString>("input");   // a key, or text typed into the box
    QTest::addColumn<double>("zoom");
    QTest::newRow("Ctrl+= steps in") << 1.0 << "Ctrl+=" << 1.25;
    QTest::newRow("Ctrl+- steps out") << 1.0 << "Ctrl+-" << 0.75;
    QTest::newRow("Ctrl+0 is 100 %") << 3.0 << "Ctrl+0" << 1.0;
    QTest::newRow("between stops, in") << 1.1 << "Ctrl+=" << 1.25;
    QTest::newRow("between stops, out") << 1.1 << "Ctrl+-" << 1.0;
    QTest::newRow("Ctrl+= at 400 %") << 4.0 << "Ctrl+=" << 4.0;
    QTest::newRow("Ctrl+- at 25 %") << 0.25 << "Ctrl+-" << 0.25;
    QTest::newRow("typed number") << 1.0 << "150" << 1.5;
    QTest::newRow("typed percentage") << 1.0 << " 80 % " << 0.8;
    QTest::newRow("typed beyond 400") << 1.0 << "1000" << 4.0;
    QTest::newRow("typed below 25") << 1.0 << "5" << 0.25;
    QTest::newRow("typed nothing of a zoom") << 2.0 << "abc" << 2.0;
    QTest::newRow("typed zero") << 2.0 << "0" << 2.0;
}

void TestZoom::keysAndZoomBox()
{
    QFETCH(double, from);
    QFETCH(QString, input);
    QFETCH(double, zoom);
    mWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mWindow));
    mWindow->scroller()->zoomTo(from);
    if (input.startsWith(QStringLiteral("Ctrl+"))) {
        const QChar key = input.back();
        const Qt::Key code = key == QLatin1Char('=') ? Qt::Key_Equal
            : key == QLatin1Char('-')                ? Qt::Key_Minus
                                                     : Qt::Key_0;
        QTest::keyClick(mCanvas->surface(), code, Qt::ControlModifier);
    } else {
        QComboBox *box = zoomBox();
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), input);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    QCOMPARE(mCanvas->zoom(), zoom);
    QCOMPARE(zoomBox()->currentText(), QStringLiteral("%1%").arg(qRound(zoom * 100)));
}

void TestZoom::limitsHold()
{
    setModule(950, 3000);
    QWidget *object = create(QPoint(10, 10), QSize(50, 50));
    CanvasScroller *scroller = mWindow->scroller();
    for (double zoom : {4.0, 0.25}) {
        mCanvas->setZoom(zoom * 10);
        mCanvas->setZoom(zoom / 10);
        scroller->zoomTo(zoom);
        QCOMPARE(mCanvas->zoom(), zoom);
        for (int i = 0; i < 3; ++i)
            scroller->zoomBySteps(zoom > 1 ? 1 : -1, QPoint(10, 10));
        QCOMPARE(mCanvas->zoom(), zoom);
        // Scrolled past either end, it stops there.
        scroller->scrollTo(QPoint(INT_MAX, INT_MAX));
        auto *vertical = mWindow->findChild<QScrollBar *>(QStringLiteral("滚动条_纵向"));
        QCOMPARE(scroller->offset().y(), vertical->maximum());
        QVERIFY(vertical->maximum() > 0);
        scroller->scrollTo(QPoint(INT_MIN, INT_MIN));
        QCOMPARE(scroller->offset(), QPoint(0, 0));
    }
    mCanvas->setZoom(qQNaN());
    mCanvas->setZoom(0);
    mCanvas->setZoom(-2);
    QCOMPARE(mCanvas->zoom(), 0.25);

    // A size that cannot be shown at 400 % is shown as large as a widget can be.
    mCanvas->setZoom(4.0);
    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
    auto *width = mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_宽"));
    width->setFocus();
    width->setText(QStringLiteral("99999999"));
    mWindow->findChild<QLineEdit *>(QStringLiteral("编辑框_高"))->setFocus();
    QCOMPARE(object->width(), QWIDGETSIZE_MAX);
    QCOMPARE(mCanvas->frameOf(object).width(), QWIDGETSIZE_MAX);
    QCOMPARE(mTable->cell(mTable->findRowById(DesignCanvas::tagOf(object)), T::Width), QStringLiteral("99999999"));
}

void TestZoom::rulerFollowsZoomAndScroll_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("scroll");
    QTest::newRow("100 %") << 1.0 << 0;
    QTest::newRow("200 %") << 2.0 << 0;
    QTest::newRow("200 %, scrolled") << 2.0 << 333;
    QTest::newRow("25 %") << 0.25 << 0;
    QTest::newRow("400 %, scrolled") << 4.0 << 1001;
}

void TestZoom::rulerFollowsZoomAndScroll()
{
    QFETCH(double, zoom);
    QFETCH(int, scroll);
    setModule(1920, 500);
    mWindow->scroller()->zoomTo(zoom);
    mWindow->scroller()->scrollTo(QPoint(scroll, 0));
    QCOMPARE(mWindow->scroller()->offset().x(), scroll);
    auto *label = mWindow->findChild<QLabel *>(QStringLiteral("图片框_刻度"));
    const QImage strip = label->pixmap().toImage();
    QCOMPARE(strip.width(), label->width());
    const QColor mark(200, 205, 210);
    const QColor ground(48, 52, 58);
    const int step = CanvasRuler::numberedStep(zoom);
    QVERIFY(step * zoom >= 50);
    // Module pixel 0 stands where the module's left edge is shown.
    const int origin = label->mapFromGlobal(
        mCanvas->surface()->mapToGlobal(ZoomMapping::toScreen(mCanvas->backgroundPos(), zoom))).x();
    QCOMPARE(mWindow->rulers()->ruler(Qt::Horizontal)->positionOf(0), origin);
    int checked = 0;
    // Each numbered mark stands where its module pixel is shown, and nothing stands just before it.
    const int first = int(std::floor(-origin / zoom / step)) * step;
    for (int value = first; origin + value * zoom < strip.width(); value += step) {
        const int x = origin + qRound(value * zoom);
        if (x < 1)
            continue;
        QCOMPARE(strip.pixelColor(x, 10), mark);
        QCOMPARE(strip.pixelColor(x - 1, 10), ground);
        ++checked;
    }
    QVERIFY(checked >= 5);
}

void TestZoom::snapToleranceIsScreenPixels_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("reached");   // the left the pointer takes it to
    QTest::addColumn<int>("left");      // where it lands
    QTest::newRow("200 %: 2 pixels, 4 on screen") << 2.0 << 2 << 0;
    QTest::newRow("200 %: 3 pixels, 6 on screen") << 2.0 << 3 << 3;
    QTest::newRow("100 %: 3 pixels") << 1.0 << 3 << 0;
    QTest::newRow("100 %: 8 pixels") << 1.0 << 8 << 8;
    QTest::newRow("50 %: 8 pixels, 4 on screen") << 0.5 << 8 << 0;
}

void TestZoom::snapToleranceIsScreenPixels()
{
    QFETCH(double, zoom);
    QFETCH(int, reached);
    QFETCH(int, left);
    mWindow->arrangeMenu()->snapAction()->setChecked(true);
    // The module's corner on a grid line: its edges, the grid and the object's lines
    // all fall on multiples of 20, so one distance decides.
    mCanvas->moveBackground(QPoint(20, 20));
    QWidget *object = create(QPoint(60, 200), QSize(40, 40));
    mWindow->scroller()->zoomTo(zoom);
    drag(object, QPoint(qRound((reached - 60) * zoom), 0));
    QCOMPARE(cells(object).topLeft(), QPoint(left, 200));
}

void TestZoom::backgroundAndPicturesDrawnScaled()
{
    mCanvas->setBackgroundPicture(makeFramePicture(400, 300, 0x0000FF, 0x0000FF));
    mCanvas->moveBackground(QPoint(20, 20));
    QWidget *object = create(QPoint(0, 0), QSize(10, 10));
    CanvasSurface *surface = mCanvas->surface();
    const QPoint beyond(2 * (20 + 300), 2 * (20 + 200));   // on the module only at 200 %
    QCOMPARE(surface->spriteAt(beyond), 0);
    mWindow->scroller()->zoomTo(2.0, QPoint(0, 0));
    QCOMPARE(mWindow->scroller()->offset(), QPoint(0, 0));
    QCOMPARE(surface->spriteAt(beyond), mCanvas->backgroundId());
    QCOMPARE(surface->spriteAt(QPoint(2 * 420 + 1, 100)), 0);
    const QImage shown = surface->grab().toImage();
    QCOMPARE(shown.pixelColor(beyond), QColor(255, 0, 0));
    QCOMPARE(object->geometry(), QRect(40, 40, 20, 20));
}

void TestZoom::panMovesOneLayer()
{
    mWindow->setScreenSizeOverride(QSize(1366, 768));
    setModule(950, 500);
    QWidget *object = create(QPoint(100, 100), QSize(50, 50));
    mWindow->scroller()->zoomTo(2.0, QPoint(0, 0));   // 1900 pixels wide on screen: it pans
    const QPoint background = mCanvas->backgroundPos();
    const QPoint shown = object->pos();
    CanvasSurface *surface = mCanvas->surface();
    const QPoint grab = QPoint(2 * background.x() + 600, 2 * background.y() + 100);
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab - QPoint(300, 0)),
                     QPointF(surface->mapToGlobal(grab - QPoint(300, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    // Only the layer they share has moved, yet every object is where the pan puts it.
    QCOMPARE(mCanvas->backgroundPos(), background - QPoint(150, 0));
    QCOMPARE(object->pos(), shown);
    QCOMPARE(mCanvas->objectLayer()->pos(), QPoint(-300, 0));
    QCOMPARE(mCanvas->frameOf(object).topLeft() - mCanvas->backgroundPos(), QPoint(100, 100));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab - QPoint(300, 0));
    QCOMPARE(mCanvas->objectLayer()->pos(), QPoint(0, 0));
    QCOMPARE(object->pos(), shown - QPoint(300, 0));
    QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(cells(object).topLeft(), QPoint(100, 100));
}

void TestZoom::backToActualSizeIsExact()
{
    QWidget *a = create(QPoint(7, 3), QSize(33, 17));
    QWidget *b = create(QPoint(-41, 600), QSize(1, 1));
    const QRect aAt = a->geometry();
    const QRect bAt = b->geometry();
    const QPoint background = mCanvas->backgroundPos();
    for (double zoom : {0.25, 0.75, 3.0, 1.25})
        mWindow->scroller()->zoomTo(zoom);
    QCOMPARE(mCanvas->frameOf(a), aAt);
    mWindow->scroller()->zoomTo(1.0);
    QCOMPARE(a->geometry(), aAt);
    QCOMPARE(b->geometry(), bAt);
    QCOMPARE(mCanvas->backgroundPos(), background);
    QCOMPARE(cells(a), QRect(7, 3, 33, 17));
}

void TestZoom::textScalesWithTheZoom()
{
    const int row = mCanvas->addComponent(KindTable::nameOf(KindTable::Kind::Text));
    auto *label = qobject_cast<QLabel *>(mCanvas->objectById(mTable->cell(row, T::Id)));
    QVERIFY(label);
    QFont font = label->font();
    font.setPixelSize(14);
    label->setFont(font);
    mWindow->scroller()->zoomTo(2.0);
    QCOMPARE(label->font().pixelSize(), 28);
    QCOMPARE(mCanvas->labelFont(label).pixelSize(), 14);
    // A font set while zoomed, as an editor does, is the label's own and shown zoomed.
    font.setPixelSize(30);
    label->setFont(font);
    QCOMPARE(label->font().pixelSize(), 60);
    QCOMPARE(mCanvas->labelFont(label).pixelSize(), 30);
    mWindow->scroller()->zoomTo(0.5);
    QCOMPARE(label->font().pixelSize(), 15);
    mWindow->scroller()->zoomTo(1.0);
    QCOMPARE(label->font().pixelSize(), 30);
}

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
