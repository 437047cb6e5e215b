// The layout tools a user reaches by keyboard and mouse: scrolling, nudging, deleting,
// copying and the selection.
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/selection_operations.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/canvas_driving.h"
#include "support/layout_fixture.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QUndoStack>

using namespace Plumbrook;
using T = ComponentTable;
using Test::sendMouse;
using Test::sendWheel;

class TestLayoutTools : public QObject, public Test::LayoutFixture
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(); }

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
};

void TestLayoutTools::startsWithTheModuleDrawn()
{
    QCOMPARE(canvas()->backgroundPictureSize(), QSize(0, 0));
    window()->showInitialModule();
    QTRY_COMPARE(canvas()->backgroundPictureSize(), QSize(950, 500));
    const QImage module = canvas()->surface()->spriteImage(canvas()->backgroundId());
    QCOMPARE(module.pixelColor(475, 250).rgb() & 0xffffff, QRgb(0x00e080));   // 8445952, blue first
    QCOMPARE(canvas()->backgroundPos(), QPoint((996 - 950) / 2, 5));
}

void TestLayoutTools::tallModuleScrollsToItsBottom()
{
    setModule(950, 3000);
    auto *page = window()->findChild<QWidget *>(QStringLiteral("设计"));
    auto *bar = window()->findChild<QScrollBar *>(QStringLiteral("滚动条_纵向"));
    QVERIFY(bar->isVisible());
    QWidget *object = create(QStringLiteral("热点"), QPoint(100, 2900));
    for (int i = 0; i < 200 && bar->value() < bar->maximum(); ++i)
        sendWheel(object, -120);
    QCOMPARE(bar->value(), bar->maximum());
    // The module's bottom edge lies inside the page, above the horizontal bar's room.
    const QPoint bottom = canvas()->surface()->mapTo(page, canvas()->backgroundPos() + QPoint(0, 3000));
    QVERIFY2(bottom.y() <= page->height() && bottom.y() > page->height() - 40,
             qPrintable(QString::number(bottom.y())));
    // Scrolling moves the page over the design, not the design.
    QCOMPARE(cellPos(object), QPoint(100, 2900));
    click(object);
    QCOMPARE(cellPos(object), QPoint(100, 2900));

    sendWheel(canvas()->surface(), 120 * 1000);
    QCOMPARE(bar->value(), 0);
}

void TestLayoutTools::wideModuleScrollsWithShiftWheel()
{
    setModule(2400, 400);
    auto *horizontal = window()->findChild<QScrollBar *>(QStringLiteral("滚动条_横向"));
    auto *vertical = window()->findChild<QScrollBar *>(QStringLiteral("滚动条_纵向"));
    QVERIFY(horizontal->isVisible());
    const int verticalBefore = vertical->value();
    sendWheel(canvas()->surface(), -120, Qt::ShiftModifier);
    QVERIFY(horizontal->value() > 0);
    QCOMPARE(vertical->value(), verticalBefore);
    QCOMPARE(window()->scroller()->offset().x(), horizontal->value());
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
    QCOMPARE(QApplication::focusWidget(), canvas()->surface());
    QUndoStack *stack = window()->document()->undoStack();
    const int steps = stack->count();
    this->key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(cellPos(object), QPoint(40, 50) + delta);
    QCOMPARE(object->pos(), canvas()->backgroundPos() + QPoint(40, 50) + delta);
    QCOMPARE(stack->count(), steps + 1);
    stack->undo();
    QCOMPARE(cellPos(object), QPoint(40, 50));
}

void TestLayoutTools::lockedComponentsStay()
{
    QWidget *free = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *locked = create(QStringLiteral("热点"), QPoint(100, 10));
    window()->document()->writeUnstepped([&] {
        table()->setCell(table()->findRowById(DesignCanvas::tagOf(locked)), T::Locked, QStringLiteral("是"));
    });
    canvas()->selectObjects({free, locked});
    key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(cellPos(free), QPoint(20, 10));
    QCOMPARE(cellPos(locked), QPoint(100, 10));
    QCOMPARE(window()->statusText(), ContextMenuOperations::kLockedMessage);
}

void TestLayoutTools::deleteKeepsLocked()
{
    QWidget *free = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *locked = create(QStringLiteral("热点"), QPoint(100, 10));
    const QString lockedId = DesignCanvas::tagOf(locked);
    window()->document()->writeUnstepped([&] {
        table()->setCell(table()->findRowById(lockedId), T::Locked, QStringLiteral("是"));
    });
    canvas()->selectObjects({free, locked});
    const int steps = window()->document()->undoStack()->count();
    key(Qt::Key_Delete);
    QCOMPARE(table()->componentCount(), 1);
    QVERIFY(table()->findRowById(lockedId) >= 1);
    QCOMPARE(window()->document()->undoStack()->count(), steps + 1);
    window()->document()->undoStack()->undo();
    QCOMPARE(table()->componentCount(), 2);
}

void TestLayoutTools::deletingManyKeepsTheRest()
{
    // Every third of 300 goes, selected from the last one down, one of them locked.
    QStringList ids;
    for (int i = 0; i < 300; ++i) {
        const int row = Test::addPicture(canvas(), QStringLiteral("热点"), {}, 0, 10, 10);
        ids.append(table()->cell(row, T::Id));
    }
    window()->document()->writeUnstepped([&] {
        table()->setCell(table()->findRowById(ids.at(150)), T::Locked, QStringLiteral("是"));
    });
    const QVector<QStringList> before = [this] {
        QVector<QStringList> rows;
        for (int row = 0; row < table()->rowCount(); ++row)
            rows.append(table()->rowCells(row));
        return rows;
    }();
    QList<QWidget *> going;
    QStringList kept;
    for (int i = 299; i >= 0; --i) {
        if (i % 3 == 0)
            going.append(canvas()->objectById(ids.at(i)));
        if (i % 3 != 0 || i == 150)
            kept.prepend(ids.at(i));
    }
    canvas()->selectObjects(going);
    key(Qt::Key_Delete);
    QStringList left;
    for (int row = 1; row < table()->rowCount(); ++row)
        left.append(table()->cell(row, T::Id));
    QCOMPARE(left, kept);
    QCOMPARE(canvas()->selectedObjects(), (QList<QWidget *>{canvas()->objectById(ids.at(150))}));
    QCOMPARE(canvas()->allObjects().size(), kept.size());

    window()->document()->undoStack()->undo();
    QCOMPARE(table()->rowCount(), before.size());
    for (int row = 0; row < table()->rowCount(); ++row)
        QCOMPARE(table()->rowCells(row), before.at(row));
    QCOMPARE(canvas()->allObjects().size(), 300);
    window()->document()->undoStack()->redo();
    QCOMPARE(table()->componentCount(), kept.size());
}

void TestLayoutTools::copyPastePlacesCopiesBelowRight()
{
    QWidget *picture = create(QStringLiteral("图片"), QPoint(30, 40));
    QWidget *text = create(QStringLiteral("文字"), QPoint(300, 60));
    canvas()->selectObjects({picture, text});
    key(Qt::Key_C, Qt::ControlModifier);
    const int steps = window()->document()->undoStack()->count();
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(table()->componentCount(), 4);
    QCOMPARE(window()->document()->undoStack()->count(), steps + 1);
    const QList<QWidget *> copies = canvas()->selectedObjects();
    QCOMPARE(copies.size(), 2);
    QCOMPARE(cellPos(copies[0]), QPoint(40, 50));
    QCOMPARE(cellPos(copies[1]), QPoint(310, 70));
    QCOMPARE(copies[0]->size(), picture->size());
    QCOMPARE(table()->cell(table()->findRowById(DesignCanvas::tagOf(copies[0])), T::Kind),
             QStringLiteral("图片"));
}

void TestLayoutTools::pasteWithNothingCopied()
{
    // The system clipboard outlives the designer: it holds nothing of ours now.
    QGuiApplication::clipboard()->clear();
    create(QStringLiteral("图片"), QPoint(30, 40));
    const int steps = window()->document()->undoStack()->count();
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(table()->componentCount(), 1);
    QCOMPARE(window()->document()->undoStack()->count(), steps);
    QCOMPARE(window()->statusText(), SelectionOperations::kNothingCopiedMessage);
}

void TestLayoutTools::duplicateEscapeAndSelectAll()
{
    QWidget *picture = create(QStringLiteral("图片"), QPoint(30, 40));
    click(picture);
    key(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(table()->componentCount(), 2);
    QCOMPARE(cellPos(canvas()->selectedObjects().value(0)), QPoint(40, 50));
    key(Qt::Key_Escape);
    QVERIFY(canvas()->selectedObjects().isEmpty());
    QCOMPARE(canvas()->selectedRow(), -1);
    key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(canvas()->selectedObjects().size(), 2);
}

void TestLayoutTools::ctrlClickToggles()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 10));
    click(a);
    click(b, Qt::ControlModifier);
    QCOMPARE(canvas()->selectedObjects(), (QList<QWidget *>{a, b}));
    QCOMPARE(canvas()->selectedObject(), a);
    auto *frame = window()->findChild<QWidget *>(QStringLiteral("选择框"));
    QVERIFY(frame->isVisible());
    QVERIFY(frame->geometry().contains(a->geometry().united(b->geometry())));
    click(a, Qt::ControlModifier);
    QCOMPARE(canvas()->selectedObjects(), (QList<QWidget *>{b}));
    QVERIFY(!frame->isVisible());
    click(a);
    QCOMPARE(canvas()->selectedObjects(), (QList<QWidget *>{a}));
}

void TestLayoutTools::rubberBandSelectsWhatItTouches()
{
    // With no module drawn the whole surface is an empty place.
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 10));
    QWidget *far = create(QStringLiteral("热点"), QPoint(600, 400));
    CanvasSurface *surface = canvas()->surface();
    const QPoint from = a->pos() - QPoint(3, 3);
    const QPoint to = b->pos() + QPoint(5, 5);
    sendMouse(surface, QEvent::MouseButtonPress, from, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(surface->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface, &move);
    sendMouse(surface, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    QList<QWidget *> selected = canvas()->selectedObjects();
    QVERIFY(selected.contains(a) && selected.contains(b));
    QVERIFY(!selected.contains(far));
}

void TestLayoutTools::groupMoveIsOneStep()
{
    QWidget *a = create(QStringLiteral("图片"), QPoint(10, 10));
    QWidget *b = create(QStringLiteral("热点"), QPoint(300, 20));
    canvas()->selectObjects({a, b});
    QUndoStack *stack = window()->document()->undoStack();
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

QTEST_MAIN(TestLayoutTools)
#include "tst_layout_tools.moc"
