// Arranging and snapping, and selections that hold many components or a carousel
// without its arrows.
#include "canvas/arrange_menu.h"
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "canvas/selection_handles.h"
#include "model/component_table.h"
#include "model/stacking_order.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "support/canvas_driving.h"
#include "support/layout_fixture.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;
using Test::sendMouse;

class TestArranging : public QObject, public Test::LayoutFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

    void arrangeMenuAlignsAsOneStep();
    void snapSwitchIsRemembered();
    void dragSnapsUnlessSuspended_data();
    void dragSnapsUnlessSuspended();
    void resizeSnapsUnlessSuspended_data();
    void resizeSnapsUnlessSuspended();
    void rubberBandOverThousands_data();
    void rubberBandOverThousands();
    void groupDragTakesTheCarouselsArrows_data();
    void groupDragTakesTheCarouselsArrows();
};

void TestArranging::arrangeMenuAlignsAsOneStep()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 20));
    canvas()->selectObjects({a, b});
    auto *menu = window()->findChild<QMenu *>(QStringLiteral("排列"));
    QVERIFY(menu);
    QUndoStack *stack = window()->document()->undoStack();
    const int steps = stack->count();
    for (QAction *action : menu->actions()) {
        if (action->text() == QStringLiteral("顶端对齐"))
            action->trigger();
    }
    QCOMPARE(cellPos(b), QPoint(300, 10));
    QCOMPARE(cellPos(a), QPoint(10, 10));
    QCOMPARE(stack->count(), steps + 1);
    // Only the hotspot moved: the step is named for it.
    QCOMPARE(stack->undoText(), QStringLiteral("顶端对齐热点"));

    // The context menu offers it while it is open.
    window()->contextMenu()->popup(QPoint(100, 100));
    QTRY_VERIFY(window()->contextMenu()->actions().contains(menu->menuAction()));
    window()->contextMenu()->hide();
    QTRY_VERIFY(!window()->contextMenu()->actions().contains(menu->menuAction()));
}

void TestArranging::snapSwitchIsRemembered()
{
    QVERIFY(!window()->arrangeMenu()->snapping());
    window()->arrangeMenu()->snapAction()->setChecked(true);
    reopen();
    window()->arrangeMenu()->loadSettings();
    QVERIFY(window()->arrangeMenu()->snapping());
    window()->arrangeMenu()->snapAction()->setChecked(false);
    window()->arrangeMenu()->loadSettings();
    QVERIFY(!window()->arrangeMenu()->snapping());
}

void TestArranging::dragSnapsUnlessSuspended_data()
{
    QTest::addColumn<bool>("snapping");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<int>("left");
    QTest::newRow("snapping to the module's left edge") << true << false << 0;
    QTest::newRow("suspended with Alt") << true << true << 2;
    QTest::newRow("snapping off") << false << false << 2;
}

void TestArranging::dragSnapsUnlessSuspended()
{
    QFETCH(bool, snapping);
    QFETCH(bool, alt);
    QFETCH(int, left);
    window()->arrangeMenu()->snapAction()->setChecked(snapping);
    QWidget *object = create(QStringLiteral("图片"), QPoint(50, 190));
    object->resize(50, 50);
    Test::storeFrame(canvas(), object);
    sendMouse(object, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    const QPoint to(5 - 48, 5);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(object->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, alt ? Qt::AltModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(object, &move);
    QCOMPARE(window()->statusText(), QStringLiteral("X：%1  Y：190  W：50  H：50").arg(left));
    sendMouse(object, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    QCOMPARE(cellPos(object), QPoint(left, 190));
}

void TestArranging::resizeSnapsUnlessSuspended_data()
{
    // Module pixels on a 950 × 500 module; another component lies at (400, 300), 60 × 40.
    // Each drag ends one or two pixels short of its target and farther from any other line.
    QTest::addColumn<int>("handle");
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<bool>("snapping");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<int>("guideX");   // module pixels, -1 for no guide
    QTest::addColumn<int>("guideY");
    using H = SelectionHandles;
    const QRect far(800, 100, 100, 100);
    const QRect near(200, 100, 100, 100);
    QTest::newRow("right edge to the module's right edge")
        << int(H::Right) << far << QPoint(48, 0) << true << false << QRect(800, 100, 150, 100) << 950 << -1;
    QTest::newRow("left edge to the module's left edge")
        << int(H::Left) << QRect(50, 100, 100, 100) << QPoint(-49, 0) << true << false
        << QRect(0, 100, 150, 100) << 0 << -1;
    QTest::newRow("top edge to the module's top edge")
        << int(H::Top) << near << QPoint(0, -99) << true << false << QRect(200, 0, 100, 200) << -1 << 0;
    QTest::newRow("bottom edge to the module's middle")
        << int(H::Bottom) << near << QPoint(0, 49) << true << false << QRect(200, 100, 100, 150) << -1 << 250;
    QTest::newRow("right edge to another's right edge")
        << int(H::Right) << near << QPoint(159, 0) << true << false << QRect(200, 100, 260, 100) << 460 << -1;
    QTest::newRow("right edge to another's centre")
        << int(H::Right) << near << QPoint(129, 0) << true << false << QRect(200, 100, 230, 100) << 430 << -1;
    QTest::newRow("bottom edge to another's top edge")
        << int(H::Bottom) << near << QPoint(0, 99) << true << false << QRect(200, 100, 100, 200) << -1 << 300;
    // The grid is the one drawn on the canvas, whose lines start at the module's corner.
    QTest::newRow("corner to the grid both ways")
        << int(H::BottomRight) << near << QPoint(318, 37) << true << false
        << QRect(200, 100, 420, 140) << 620 << 240;
    QTest::newRow("suspended with Alt")
        << int(H::Right) << far << QPoint(48, 0) << true << true << QRect(800, 100, 148, 100) << -1 << -1;
    QTest::newRow("snapping off")
        << int(H::Right) << far << QPoint(48, 0) << false << false << QRect(800, 100, 148, 100) << -1 << -1;
}

void TestArranging::resizeSnapsUnlessSuspended()
{
    QFETCH(int, handle);
    QFETCH(QRect, start);
    QFETCH(QPoint, drag);
    QFETCH(bool, snapping);
    QFETCH(bool, alt);
    QFETCH(QRect, expected);
    QFETCH(int, guideX);
    QFETCH(int, guideY);
    setModule(950, 500);
    QCOMPARE(canvas()->surface()->pos(), QPoint(0, 0));   // frames and guides share its corner
    window()->arrangeMenu()->snapAction()->setChecked(snapping);
    QWidget *other = create(QStringLiteral("热点"), QPoint(400, 300));
    other->resize(60, 40);
    Test::storeFrame(canvas(), other);
    QWidget *object = create(QStringLiteral("图片"), start.topLeft());
    object->resize(start.size());
    Test::storeFrame(canvas(), object);
    click(object);
    const QPoint origin = canvas()->backgroundPos();
    QCOMPARE(origin, QPoint((996 - 950) / 2, 5));

    QLabel *label = canvas()->handles().label(SelectionHandles::Handle(handle));
    QVERIFY(label->isVisible());
    QUndoStack *stack = window()->document()->undoStack();
    const int steps = stack->count();
    const QPoint grab(1, 1);
    this->drag(label, grab, grab + drag, alt ? Qt::AltModifier : Qt::NoModifier);
    QCOMPARE(window()->statusText(), QStringLiteral("X：%1  Y：%2  W：%3  H：%4")
                                        .arg(expected.x()).arg(expected.y())
                                        .arg(expected.width()).arg(expected.height()));
    auto *vertical = window()->findChild<QWidget *>(QStringLiteral("参考线_纵向"));
    auto *horizontal = window()->findChild<QWidget *>(QStringLiteral("参考线_横向"));
    if (snapping) {
        QVERIFY(vertical && horizontal);
        QCOMPARE(vertical->isVisible(), guideX >= 0);
        QCOMPARE(horizontal->isVisible(), guideY >= 0);
        if (guideX >= 0)
            QCOMPARE(vertical->x(), origin.x() + guideX);
        if (guideY >= 0)
            QCOMPARE(horizontal->y(), origin.y() + guideY);
    }
    sendMouse(label, QEvent::MouseButtonRelease, grab + drag, Qt::LeftButton);
    if (vertical)
        QVERIFY(!vertical->isVisible() && !horizontal->isVisible());
    const int row = table()->findRowById(DesignCanvas::tagOf(object));
    QCOMPARE(QRect(table()->cellInt(row, T::Left), table()->cellInt(row, T::Top),
                   table()->cellInt(row, T::Width), table()->cellInt(row, T::Height)),
             expected);
    QCOMPARE(object->geometry(), expected.translated(origin));
    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->undoText(), QStringLiteral("调整图片大小"));
}

void TestArranging::rubberBandOverThousands_data()
{
    // 3,000 components of 10 × 10 on a 12-pixel pitch, 60 to a row; the band in
    // surface pixels; every tenth one hidden, as a carousel's arrows can be.
    QTest::addColumn<QRect>("band");
    QTest::addColumn<bool>("ctrl");
    QTest::newRow("most of them") << QRect(3, 3, 690, 560) << false;
    QTest::newRow("edges just touched") << QRect(109, 109, 120, 120) << false;
    QTest::newRow("in the gaps between them") << QRect(128, 128, 2, 2) << false;
    QTest::newRow("with Ctrl, added to the selection") << QRect(3, 3, 300, 300) << true;
}

void TestArranging::rubberBandOverThousands()
{
    QFETCH(QRect, band);
    QFETCH(bool, ctrl);
    constexpr int kCount = 3000;
    constexpr int kPitch = 12;
    QVector<QWidget *> objects;
    objects.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        Test::addPicture(canvas(), QStringLiteral("热点"), {}, 0, 10, 10);
        QWidget *object = canvas()->pictureObjects().constLast();
        object->move(10 + i % 60 * kPitch, 10 + i / 60 * kPitch);
        object->setVisible(i % 10 != 9);
        objects.append(object);
    }
    // With Ctrl the band adds to these: one it covers too, one far from it.
    const QList<QWidget *> before{objects.at(0), objects.at(kCount - 2)};
    if (ctrl)
        canvas()->selectObjects(before);
    QSet<QWidget *> expected;
    if (ctrl)
        expected = QSet<QWidget *>(before.cbegin(), before.cend());
    for (int i = 0; i < kCount; ++i) {
        const QRect frame(10 + i % 60 * kPitch, 10 + i / 60 * kPitch, 10, 10);
        if (i % 10 != 9 && frame.intersects(band))
            expected.insert(objects.at(i));
    }

    QSignalSpy changes(window()->document()->selection(), &DesignSelection::selectionChanged);
    CanvasSurface *surface = canvas()->surface();
    const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    sendMouse(surface, QEvent::MouseButtonPress, band.topLeft(), Qt::LeftButton, modifiers);
    const int pressChanges = int(changes.count());
    for (const QPoint &at : {band.center(), band.bottomRight() + QPoint(40, 40), band.bottomRight()}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(surface->mapToGlobal(at)),
                         Qt::NoButton, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(surface, &move);
    }
    QCOMPARE(changes.count(), pressChanges);   // the band selects when it is let go
    const QList<QWidget *> edges = window()->findChildren<QWidget *>(QStringLiteral("选取框"));
    QCOMPARE(edges.size(), 4);
    QRect drawn;
    for (QWidget *edge : edges) {
        QVERIFY(edge->isVisible());
        drawn = drawn.united(edge->geometry());
    }
    QCOMPARE(drawn, band);
    sendMouse(surface, QEvent::MouseButtonRelease, band.bottomRight(), Qt::LeftButton, modifiers);
    for (QWidget *edge : edges)
        QVERIFY(!edge->isVisible());

    const QList<QWidget *> selected = canvas()->selectedObjects();
    QCOMPARE(QSet<QWidget *>(selected.cbegin(), selected.cend()), expected);
    QCOMPARE(selected.size(), expected.size());   // none twice
    QCOMPARE(changes.count(), pressChanges + (expected.isEmpty() ? 0 : 1));
    if (ctrl)
        QCOMPARE(selected.mid(0, 2), before);
    if (!expected.isEmpty()) {
        QCOMPARE(canvas()->selectedObject(), selected.constFirst());
        auto *frame = window()->findChild<QWidget *>(QStringLiteral("选择框"));
        QCOMPARE(frame->isVisible(), expected.size() > 1);
    }
}

void TestArranging::groupDragTakesTheCarouselsArrows_data()
{
    QTest::addColumn<bool>("byCarousel");   // pressed on the carousel or on the other one
    QTest::newRow("pressed on the carousel") << true;
    QTest::newRow("pressed on the other component") << false;
}

void TestArranging::groupDragTakesTheCarouselsArrows()
{
    QFETCH(bool, byCarousel);
    QWidget *carousel = create(QStringLiteral("轮播"), QPoint(20, 20));
    const int carouselRow = table()->findRowById(DesignCanvas::tagOf(carousel));
    QWidget *left = canvas()->objectById(table()->cell(carouselRow + 1, T::Id));
    QWidget *right = canvas()->objectById(table()->cell(carouselRow + 2, T::Id));
    left->move(canvas()->backgroundPos() + QPoint(30, 100));
    right->move(canvas()->backgroundPos() + QPoint(300, 100));
    Test::storeFrame(canvas(), left);
    Test::storeFrame(canvas(), right);
    QWidget *other = create(QStringLiteral("图片"), QPoint(600, 20));
    // A cover over all of them, and the carousel put above its own arrows.
    QWidget *cover = create(QStringLiteral("图片"), QPoint(0, 0));
    cover->resize(900, 400);
    Test::storeFrame(canvas(), cover);
    carousel->raise();

    canvas()->selectObjects({carousel, other});
    QUndoStack *stack = window()->document()->undoStack();
    const int steps = stack->count();
    QWidget *pressed = byCarousel ? carousel : other;
    drag(pressed, QPoint(5, 5), QPoint(5 + 40, 5 + 30));
    sendMouse(pressed, QEvent::MouseButtonRelease, QPoint(45, 35), Qt::LeftButton);

    QCOMPARE(cellPos(carousel), QPoint(60, 50));
    QCOMPARE(cellPos(other), QPoint(640, 50));
    // Its arrows go along, unselected, in the same step.
    QCOMPARE(cellPos(left), QPoint(70, 130));
    QCOMPARE(cellPos(right), QPoint(340, 130));
    QCOMPARE(left->pos(), canvas()->backgroundPos() + QPoint(70, 130));
    QCOMPARE(stack->count(), steps + 1);
    // Released, each lies where the code stacks it, the arrows just above the carousel.
    const QObjectList stacking = carousel->parentWidget()->children();
    QVERIFY(stacking.indexOf(left) > stacking.indexOf(carousel));
    QVERIFY(stacking.indexOf(right) > stacking.indexOf(left));
    const QList<QWidget *> objects{carousel, left, right, other, cover};
    for (QWidget *a : objects) {
        for (QWidget *b : objects) {
            const int rowA = table()->findRowById(DesignCanvas::tagOf(a));
            const int rowB = table()->findRowById(DesignCanvas::tagOf(b));
            if (StackingOrder::keyOf(*table(), rowA) < StackingOrder::keyOf(*table(), rowB))
                QVERIFY(stacking.indexOf(a) < stacking.indexOf(b));
        }
    }
}

QTEST_MAIN(TestArranging)
#include "tst_arranging.moc"
