#include "canvas/arrange_menu.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_object.h"
#include "canvas/selection_operations.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "support/test_support.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <QWheelEvent>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// Delivered to the design page, where a wheel turned over the canvas arrives: Qt
// passes only the system's own wheel events on to the parents.
void sendWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    widget = widget->window()->findChild<QWidget *>(QStringLiteral("设计"));
    const QPointF at(10, 10);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

class TestLayoutTools : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithTheModuleDrawn();
    void tallModuleScrollsToItsBottom();
    void wideModuleScrollsWithShiftWheel();
    void nudge_data();
    void nudge();
    void lockedComponentsStay();
    void deleteKeepsLocked();
    void deletingManyKeepsTheRest();
    void copyPastePlacesCopiesBelowRight();
    void pasteWithNothingCopied();
    void duplicateEscapeAndSelectAll();
    void ctrlClickToggles();
    void rubberBandSelectsWhatItTouches();
    void groupMoveIsOneStep();
    void arrangeMenuAlignsAsOneStep();
    void snapSwitchIsRemembered();
    void dragSnapsUnlessSuspended_data();
    void dragSnapsUnlessSuspended();
    void resizeSnapsUnlessSuspended_data();
    void resizeSnapsUnlessSuspended();
    void rubberBandOverThousands_data();
    void rubberBandOverThousands();
    void groupDragLeavesUnselectedArrows_data();
    void groupDragLeavesUnselectedArrows();

private:
    QWidget *create(const QString &kind, const QPoint &moduleAt);
    QPoint cellPos(QWidget *object) const;
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void click(QWidget *object, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void setModule(int width, int height);
    void drag(QWidget *widget, const QPoint &from, const QPoint &to,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    Test::TemporaryProgramDir *mDir = nullptr;
    MainWindow *mWindow = nullptr;
    DesignCanvas *mCanvas = nullptr;
    ComponentTable *mTable = nullptr;
};

void TestLayoutTools::init()
{
    mDir = new Test::TemporaryProgramDir;
    mWindow = new MainWindow;
    mWindow->fileMenu()->setDataDir(mDir->path());
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow));
    mCanvas = mWindow->canvas();
    mTable = mWindow->table();
}

void TestLayoutTools::cleanup()
{
    delete mWindow;
    mWindow = nullptr;
    delete mDir;
    mDir = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestLayoutTools::setModule(int width, int height)
{
    mTable->setCell(0, T::Width, QString::number(width));
    mTable->setCell(0, T::Height, QString::number(height));
    ModuleBackgroundLayer::render(mCanvas);
    QTRY_COMPARE(mCanvas->backgroundPictureSize(), QSize(width, height));
}

QWidget *TestLayoutTools::create(const QString &kind, const QPoint &moduleAt)
{
    const int row = ComponentCreation::create(mCanvas, kind);
    QWidget *object = mCanvas->objectById(mTable->cell(row, T::Id));
    object->move(mCanvas->backgroundPos() + moduleAt);
    mCanvas->storeFrame(object);
    return object;
}

QPoint TestLayoutTools::cellPos(QWidget *object) const
{
    const int row = mTable->findRowById(DesignCanvas::tagOf(object));
    return QPoint(mTable->cellInt(row, T::Left), mTable->cellInt(row, T::Top));
}

void TestLayoutTools::key(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(mCanvas->surface(), Qt::Key(key), modifiers);
}

void TestLayoutTools::click(QWidget *object, Qt::KeyboardModifiers modifiers)
{
    sendMouse(object, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, modifiers);
    sendMouse(object, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, modifiers);
}

void TestLayoutTools::drag(QWidget *widget, const QPoint &from, const QPoint &to,
                           Qt::KeyboardModifiers modifiers)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(widget->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

void TestLayoutTools::startsWithTheModuleDrawn()
{
    QCOMPARE(mCanvas->backgroundPictureSize(), QSize(0, 0));
    mWindow->showInitialModule();
    QTRY_COMPARE(mCanvas->backgroundPictureSize(), QSize(950, 500));
    const QImage module = mCanvas->surface()->spriteImage(mCanvas->backgroundId());
    QCOMPARE(module.pixelColor(475, 250).rgb() & 0xffffff, QRgb(0x00e080));   // 8445952, blue first
    QCOMPARE(mCanvas->backgroundPos(), QPoint((996 - 950) / 2, 5));
}

void TestLayoutTools::tallModuleScrollsToItsBottom()
{
    setModule(950, 3000);
    auto *page = mWindow->findChild<QWidget *>(QStringLiteral("设计"));
    auto *bar = mWindow->findChild<QScrollBar *>(QStringLiteral("滚动条_纵向"));
    QVERIFY(bar->isVisible());
    QWidget *object = create(QStringLiteral("热点"), QPoint(100, 2900));
    for (int i = 0; i < 200 && bar->value() < bar->maximum(); ++i)
        sendWheel(object, -120);
    QCOMPARE(bar->value(), bar->maximum());
    // The module's bottom edge lies inside the page, above the horizontal bar's room.
    const QPoint bottom = mCanvas->surface()->mapTo(page, mCanvas->backgroundPos() + QPoint(0, 3000));
    QVERIFY2(bottom.y() <= page->height() && bottom.y() > page->height() - 40,
             qPrintable(QString::number(bottom.y())));
    // Scrolling moves the page over the design, not the design.
    QCOMPARE(cellPos(object), QPoint(100, 2900));
    click(object);
    QCOMPARE(cellPos(object), QPoint(100, 2900));

    sendWheel(mCanvas->surface(), 120 * 1000);
    QCOMPARE(bar->value(), 0);
}

void TestLayoutTools::wideModuleScrollsWithShiftWheel()
{
    setModule(2400, 400);
    auto *horizontal = mWindow->findChild<QScrollBar *>(QStringLiteral("滚动条_横向"));
    auto *vertical = mWindow->findChild<QScrollBar *>(QStringLiteral("滚动条_纵向"));
    QVERIFY(horizontal->isVisible());
    const int verticalBefore = vertical->value();
    sendWheel(mCanvas->surface(), -120, Qt::ShiftModifier);
    QVERIFY(horizontal->value() > 0);
    QCOMPARE(vertical->value(), verticalBefore);
    QCOMPARE(mWindow->scroller()->offset().x(), horizontal->value());
}

void TestLayoutTools::nudge_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QPoint>("delta");
    QTest::newRow("left") << int(Qt::Key_Left) << false << QPoint(-1, 0);
    QTest::newRow("right") << int(Qt::Key_Right) << false << QPoint(1, 0);
    QTest::newRow("up") << int(Qt::Key_Up) << false << QPoint(0, -1);
    QTest::newRow("down") << int(Qt::Key_Down) << false << QPoint(0, 1);
    QTest::newRow("shift left") << int(Qt::Key_Left) << true << QPoint(-10, 0);
    QTest::newRow("shift right") << int(Qt::Key_Right) << true << QPoint(10, 0);
    QTest::newRow("shift up") << int(Qt::Key_Up) << true << QPoint(0, -10);
    QTest::newRow("shift down") << int(Qt::Key_Down) << true << QPoint(0, 10);
}

void TestLayoutTools::nudge()
{
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QPoint, delta);
    QWidget *object = create(QStringLiteral("图片"), QPoint(40, 50));
    click(object);
    QCOMPARE(QApplication::focusWidget(), mCanvas->surface());
    QUndoStack *stack = mWindow->document()->undoStack();
    const int steps = stack->count();
    this->key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(cellPos(object), QPoint(40, 50) + delta);
    QCOMPARE(object->pos(), mCanvas->backgroundPos() + QPoint(40, 50) + delta);
    QCOMPARE(stack->count(), steps + 1);
    stack->undo();
    QCOMPARE(cellPos(object), QPoint(40, 50));
}

void TestLayoutTools::lockedComponentsStay()
{
    QWidget *free = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *locked = create(QStringLiteral("热点"), QPoint(100, 10));
    mTable->setCell(mTable->findRowById(DesignCanvas::tagOf(locked)), T::Locked, QStringLiteral("是"));
    mCanvas->selectObjects({free, locked});
    key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(cellPos(free), QPoint(20, 10));
    QCOMPARE(cellPos(locked), QPoint(100, 10));
    QCOMPARE(mWindow->statusText(), ContextMenuOperations::kLockedMessage);
}

void TestLayoutTools::deleteKeepsLocked()
{
    QWidget *free = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *locked = create(QStringLiteral("热点"), QPoint(100, 10));
    const QString lockedId = DesignCanvas::tagOf(locked);
    mTable->setCell(mTable->findRowById(lockedId), T::Locked, QStringLiteral("是"));
    mCanvas->selectObjects({free, locked});
    const int steps = mWindow->document()->undoStack()->count();
    key(Qt::Key_Delete);
    QCOMPARE(mTable->componentCount(), 1);
    QVERIFY(mTable->findRowById(lockedId) >= 1);
    QCOMPARE(mWindow->document()->undoStack()->count(), steps + 1);
    mWindow->document()->undoStack()->undo();
    QCOMPARE(mTable->componentCount(), 2);
}

void TestLayoutTools::deletingManyKeepsTheRest()
{
    // Every third of 300 goes, selected from the last one down, one of them locked.
    QStringList ids;
    for (int i = 0; i < 300; ++i) {
        const int row = mCanvas->addPictureComponent(QStringLiteral("热点"), {}, 0, 10, 10);
        ids.append(mTable->cell(row, T::Id));
    }
    mTable->setCell(mTable->findRowById(ids.at(150)), T::Locked, QStringLiteral("是"));
    const QVector<QStringList> before = [this] {
        QVector<QStringList> rows;
        for (int row = 0; row < mTable->rowCount(); ++row)
            rows.append(mTable->rowCells(row));
        return rows;
    }();
    QList<QWidget *> going;
    QStringList kept;
    for (int i = 299; i >= 0; --i) {
        if (i % 3 == 0)
            going.append(mCanvas->objectById(ids.at(i)));
        if (i % 3 != 0 || i == 150)
            kept.prepend(ids.at(i));
    }
    mCanvas->selectObjects(going);
    key(Qt::Key_Delete);
    QStringList left;
    for (int row = 1; row < mTable->rowCount(); ++row)
        left.append(mTable->cell(row, T::Id));
    QCOMPARE(left, kept);
    QCOMPARE(mCanvas->selectedObjects(), (QList<QWidget *>{mCanvas->objectById(ids.at(150))}));
    QCOMPARE(mCanvas->allObjects().size(), kept.size());

    mWindow->document()->undoStack()->undo();
    QCOMPARE(mTable->rowCount(), before.size());
    for (int row = 0; row < mTable->rowCount(); ++row)
        QCOMPARE(mTable->rowCells(row), before.at(row));
    QCOMPARE(mCanvas->allObjects().size(), 300);
    mWindow->document()->undoStack()->redo();
    QCOMPARE(mTable->componentCount(), kept.size());
}

void TestLayoutTools::copyPastePlacesCopiesBelowRight()
{
    QWidget *picture = create(QStringLiteral("图片"), QPoint(30, 40));
    QWidget *text = create(QStringLiteral("文字"), QPoint(300, 60));
    mCanvas->selectObjects({picture, text});
    key(Qt::Key_C, Qt::ControlModifier);
    const int steps = mWindow->document()->undoStack()->count();
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(mTable->componentCount(), 4);
    QCOMPARE(mWindow->document()->undoStack()->count(), steps + 1);
    const QList<QWidget *> copies = mCanvas->selectedObjects();
    QCOMPARE(copies.size(), 2);
    QCOMPARE(cellPos(copies[0]), QPoint(40, 50));
    QCOMPARE(cellPos(copies[1]), QPoint(310, 70));
    QCOMPARE(copies[0]->size(), picture->size());
    QCOMPARE(mTable->cell(mTable->findRowById(DesignCanvas::tagOf(copies[0])), T::Kind),
             QStringLiteral("图片"));
}

void TestLayoutTools::pasteWithNothingCopied()
{
    create(QStringLiteral("图片"), QPoint(30, 40));
    const int steps = mWindow->document()->undoStack()->count();
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(mTable->componentCount(), 1);
    QCOMPARE(mWindow->document()->undoStack()->count(), steps);
    QCOMPARE(mWindow->statusText(), SelectionOperations::kNothingCopiedMessage);
}

void TestLayoutTools::duplicateEscapeAndSelectAll()
{
    QWidget *picture = create(QStringLiteral("图片"), QPoint(30, 40));
    click(picture);
    key(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(mTable->componentCount(), 2);
    QCOMPARE(cellPos(mCanvas->selectedObjects().value(0)), QPoint(40, 50));
    key(Qt::Key_Escape);
    QVERIFY(mCanvas->selectedObjects().isEmpty());
    QCOMPARE(mCanvas->selectedRow(), -1);
    key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(mCanvas->selectedObjects().size(), 2);
}

void TestLayoutTools::ctrlClickToggles()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 10));
    click(a);
    click(b, Qt::ControlModifier);
    QCOMPARE(mCanvas->selectedObjects(), (QList<QWidget *>{a, b}));
    QCOMPARE(mCanvas->selectedObject(), a);
    auto *frame = mWindow->findChild<QWidget *>(QStringLiteral("选择框"));
    QVERIFY(frame->isVisible());
    QVERIFY(frame->geometry().contains(a->geometry().united(b->geometry())));
    click(a, Qt::ControlModifier);
    QCOMPARE(mCanvas->selectedObjects(), (QList<QWidget *>{b}));
    QVERIFY(!frame->isVisible());
    click(a);
    QCOMPARE(mCanvas->selectedObjects(), (QList<QWidget *>{a}));
}

void TestLayoutTools::rubberBandSelectsWhatItTouches()
{
    // With no module drawn the whole surface is an empty place.
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 10));
    QWidget *far = create(QStringLiteral("热点"), QPoint(600, 400));
    CanvasSurface *surface = mCanvas->surface();
    const QPoint from = a->pos() - QPoint(3, 3);
    const QPoint to = b->pos() + QPoint(5, 5);
    sendMouse(surface, QEvent::MouseButtonPress, from, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(surface->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    sendMouse(surface, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    QList<QWidget *> selected = mCanvas->selectedObjects();
    QVERIFY(selected.contains(a) && selected.contains(b));
    QVERIFY(!selected.contains(far));
}

void TestLayoutTools::groupMoveIsOneStep()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 20));
    mCanvas->selectObjects({a, b});
    QUndoStack *stack = mWindow->document()->undoStack();
    const int steps = stack->count();
    sendMouse(b, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(17, 9), QPointF(b->mapToGlobal(QPoint(17, 9))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b, &move);
    sendMouse(b, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton);
    QCOMPARE(cellPos(a), QPoint(25, 17));
    QCOMPARE(cellPos(b), QPoint(315, 27));
    QCOMPARE(stack->count(), steps + 1);
    stack->undo();
    QCOMPARE(cellPos(a), QPoint(10, 10));
    QCOMPARE(cellPos(b), QPoint(300, 20));
}

void TestLayoutTools::arrangeMenuAlignsAsOneStep()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 20));
    mCanvas->selectObjects({a, b});
    auto *menu = mWindow->findChild<QMenu *>(QStringLiteral("排列"));
    QVERIFY(menu);
    QUndoStack *stack = mWindow->document()->undoStack();
    const int steps = stack->count();
    for (QAction *action : menu->actions()) {
        if (action->text() == QStringLiteral("顶端对齐"))
            action->trigger();
    }
    QCOMPARE(cellPos(b), QPoint(300, 10));
    QCOMPARE(cellPos(a), QPoint(10, 10));
    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->undoText(), QStringLiteral("顶端对齐"));

    // The context menu offers it while it is open.
    mWindow->contextMenu()->popup(QPoint(100, 100));
    QTRY_VERIFY(mWindow->contextMenu()->actions().contains(menu->menuAction()));
    mWindow->contextMenu()->hide();
    QTRY_VERIFY(!mWindow->contextMenu()->actions().contains(menu->menuAction()));
}

void TestLayoutTools::snapSwitchIsRemembered()
{
    QVERIFY(!mWindow->arrangeMenu()->snapping());
    mWindow->arrangeMenu()->snapAction()->setChecked(true);
    delete mWindow;
    mWindow = new MainWindow;
    mWindow->fileMenu()->setDataDir(mDir->path());
    mWindow->arrangeMenu()->loadSettings();
    QVERIFY(mWindow->arrangeMenu()->snapping());
    mWindow->arrangeMenu()->snapAction()->setChecked(false);
    mWindow->arrangeMenu()->loadSettings();
    QVERIFY(!mWindow->arrangeMenu()->snapping());
}

void TestLayoutTools::dragSnapsUnlessSuspended_data()
{
    QTest::addColumn<bool>("snapping");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<int>("left");
    QTest::newRow("snapping to the module's left edge") << true << false << 0;
    QTest::newRow("suspended with Alt") << true << true << 2;
    QTest::newRow("snapping off") << false << false << 2;
}

void TestLayoutTools::dragSnapsUnlessSuspended()
{
    QFETCH(bool, snapping);
    QFETCH(bool, alt);
    QFETCH(int, left);
    mWindow->arrangeMenu()->snapAction()->setChecked(snapping);
    QWidget *object = create(QStringLiteral("图片"), QPoint(50, 190));
    object->resize(50, 50);
    mCanvas->storeFrame(object);
    sendMouse(object, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    const QPoint to(5 - 48, 5);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(object->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, alt ? Qt::AltModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(object, &move);
    QCOMPARE(mWindow->statusText(), QStringLiteral("X：%1  Y：190  W：50  H：50").arg(left));
    sendMouse(object, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    QCOMPARE(cellPos(object), QPoint(left, 190));
}

void TestLayoutTools::resizeSnapsUnlessSuspended_data()
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
    // The grid is the one drawn on the canvas, whose lines start at the canvas's corner.
    QTest::newRow("corner to the grid both ways")
        << int(H::BottomRight) << near << QPoint(318, 34) << true << false
        << QRect(200, 100, 417, 135) << 617 << 235;
    QTest::newRow("suspended with Alt")
        << int(H::Right) << far << QPoint(48, 0) << true << true << QRect(800, 100, 148, 100) << -1 << -1;
    QTest::newRow("snapping off")
        << int(H::Right) << far << QPoint(48, 0) << false << false << QRect(800, 100, 148, 100) << -1 << -1;
}

void TestLayoutTools::resizeSnapsUnlessSuspended()
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
    QCOMPARE(mCanvas->surface()->pos(), QPoint(0, 0));   // frames and guides share its corner
    mWindow->arrangeMenu()->snapAction()->setChecked(snapping);
    QWidget *other = create(QStringLiteral("热点"), QPoint(400, 300));
    other->resize(60, 40);
    mCanvas->storeFrame(other);
    QWidget *object = create(QStringLiteral("图片"), start.topLeft());
    object->resize(start.size());
    mCanvas->storeFrame(object);
    click(object);
    const QPoint origin = mCanvas->backgroundPos();
    QCOMPARE(origin, QPoint((996 - 950) / 2, 5));

    QLabel *label = mCanvas->handles().label(SelectionHandles::Handle(handle));
    QVERIFY(label->isVisible());
    QUndoStack *stack = mWindow->document()->undoStack();
    const int steps = stack->count();
    const QPoint grab(1, 1);
    this->drag(label, grab, grab + drag, alt ? Qt::AltModifier : Qt::NoModifier);
    QCOMPARE(mWindow->statusText(), QStringLiteral("X：%1  Y：%2  W：%3  H：%4")
                                        .arg(expected.x()).arg(expected.y())
                                        .arg(expected.width()).arg(expected.height()));
    auto *vertical = mWindow->findChild<QWidget *>(QStringLiteral("参考线_纵向"));
    auto *horizontal = mWindow->findChild<QWidget *>(QStringLiteral("参考线_横向"));
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
    const int row = mTable->findRowById(DesignCanvas::tagOf(object));
    QCOMPARE(QRect(mTable->cellInt(row, T::Left), mTable->cellInt(row, T::Top),
                   mTable->cellInt(row, T::Width), mTable->cellInt(row, T::Height)),
             expected);
    QCOMPARE(object->geometry(), expected.translated(origin));
    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->undoText(), QStringLiteral("调整大小"));
}

void TestLayoutTools::rubberBandOverThousands_data()
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

void TestLayoutTools::rubberBandOverThousands()
{
    QFETCH(QRect, band);
    QFETCH(bool, ctrl);
    constexpr int kCount = 3000;
    constexpr int kPitch = 12;
    QVector<QWidget *> objects;
    objects.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        mCanvas->addPictureComponent(QStringLiteral("热点"), {}, 0, 10, 10);
        QWidget *object = mCanvas->pictureObjects().constLast();
        object->move(10 + i % 60 * kPitch, 10 + i / 60 * kPitch);
        object->setVisible(i % 10 != 9);
        objects.append(object);
    }
    // With Ctrl the band adds to these: one it covers too, one far from it.
    const QList<QWidget *> before{objects.at(0), objects.at(kCount - 2)};
    if (ctrl)
        mCanvas->selectObjects(before);
    QSet<QWidget *> expected;
    if (ctrl)
        expected = QSet<QWidget *>(before.cbegin(), before.cend());
    for (int i = 0; i < kCount; ++i) {
        const QRect frame(10 + i % 60 * kPitch, 10 + i / 60 * kPitch, 10, 10);
        if (i % 10 != 9 && frame.intersects(band))
            expected.insert(objects.at(i));
    }

    QSignalSpy changes(mWindow->document()->selection(), &DesignSelection::selectionChanged);
    CanvasSurface *surface = mCanvas->surface();
    const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    sendMouse(surface, QEvent::MouseButtonPress, band.topLeft(), Qt::LeftButton, modifiers);
    const int pressChanges = int(changes.count());
    for (const QPoint &at : {band.center(), band.bottomRight() + QPoint(40, 40), band.bottomRight()}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(surface->mapToGlobal(at)),
                         Qt::NoButton, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(surface, &move);
    }
    QCOMPARE(changes.count(), pressChanges);   // the band selects when it is let go
    const QList<QWidget *> edges = mWindow->findChildren<QWidget *>(QStringLiteral("选取框"));
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

    const QList<QWidget *> selected = mCanvas->selectedObjects();
    QCOMPARE(QSet<QWidget *>(selected.cbegin(), selected.cend()), expected);
    QCOMPARE(selected.size(), expected.size());   // none twice
    QCOMPARE(changes.count(), pressChanges + (expected.isEmpty() ? 0 : 1));
    if (ctrl)
        QCOMPARE(selected.mid(0, 2), before);
    if (!expected.isEmpty()) {
        QCOMPARE(mCanvas->selectedObject(), selected.constFirst());
        auto *frame = mWindow->findChild<QWidget *>(QStringLiteral("选择框"));
        QCOMPARE(frame->isVisible(), expected.size() > 1);
    }
}

void TestLayoutTools::groupDragLeavesUnselectedArrows_data()
{
    QTest::addColumn<bool>("byCarousel");   // pressed on the carousel or on the other one
    QTest::newRow("pressed on the carousel") << true;
    QTest::newRow("pressed on the other component") << false;
}

void TestLayoutTools::groupDragLeavesUnselectedArrows()
{
    QFETCH(bool, byCarousel);
    QWidget *carousel = create(QStringLiteral("轮播"), QPoint(20, 20));
    const int carouselRow = mTable->findRowById(DesignCanvas::tagOf(carousel));
    QWidget *left = mCanvas->objectById(mTable->cell(carouselRow + 1, T::Id));
    QWidget *right = mCanvas->objectById(mTable->cell(carouselRow + 2, T::Id));
    left->move(mCanvas->backgroundPos() + QPoint(30, 100));
    right->move(mCanvas->backgroundPos() + QPoint(300, 100));
    mCanvas->storeFrame(left);
    mCanvas->storeFrame(right);
    QWidget *other = create(QStringLiteral("图片"), QPoint(600, 20));
    // A cover over all of them, and the carousel put above its own arrows.
    QWidget *cover = create(QStringLiteral("图片"), QPoint(0, 0));
    cover->resize(900, 400);
    mCanvas->storeFrame(cover);
    carousel->raise();

    mCanvas->selectObjects({carousel, other});
    QUndoStack *stack = mWindow->document()->undoStack();
    const int steps = stack->count();
    QWidget *pressed = byCarousel ? carousel : other;
    drag(pressed, QPoint(5, 5), QPoint(5 + 40, 5 + 30));
    sendMouse(pressed, QEvent::MouseButtonRelease, QPoint(45, 35), Qt::LeftButton);

    QCOMPARE(cellPos(carousel), QPoint(60, 50));
    QCOMPARE(cellPos(other), QPoint(640, 50));
    QCOMPARE(cellPos(left), QPoint(30, 100));
    QCOMPARE(cellPos(right), QPoint(300, 100));
    QCOMPARE(left->pos(), mCanvas->backgroundPos() + QPoint(30, 100));
    QCOMPARE(stack->count(), steps + 1);
    // Stacked as after a single drag: the dragged ones in front, the arrows above the carousel.
    const QObjectList stacking = carousel->parentWidget()->children();
    QVERIFY(stacking.indexOf(carousel) > stacking.indexOf(cover));
    QVERIFY(stacking.indexOf(other) > stacking.indexOf(cover));
    QVERIFY(stacking.indexOf(left) > stacking.indexOf(carousel));
    QVERIFY(stacking.indexOf(right) > stacking.indexOf(carousel));
}

QTEST_MAIN(TestLayoutTools)
#include "tst_layout_tools.moc"
